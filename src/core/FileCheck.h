#pragma once
// The checks a path passes before the program opens it as a document. Only regular files (and symbolic
// links to them) are ever opened: opening a named pipe waits for a writer that may never come, and a
// device such as /dev/zero never ends. Text files are read whole, so one larger than the memory available
// can hold is refused too.

#include <QString>

namespace varnel {

// The path, after following symbolic links, is a regular file.
bool isRegularFile(const QString& path);

// Why the program does not open path, worded for the log line; empty when it may: the path, after
// following symbolic links, is a regular file, or nothing is there (each engine handles a missing file
// itself). Named pipes, sockets, device nodes and folders are refused without being opened.
QString notRegularFileReason(const QString& path);

// The largest text file the text engine reads, in bytes: an eighth of the memory available now, as the
// file's bytes, its text (two bytes a character), the folded copy the search runs over, the new text and
// its encoded bytes are all held at once.
qint64 textFileSizeLimit();
// Why a text file of that many bytes is not read; empty when it may be.
QString tooLargeTextReason(qint64 size);

// Fixes the text file limit for the lifetime of the guard (tests only).
class ScopedTextFileSizeLimit
{
public:
    explicit ScopedTextFileSizeLimit(qint64 bytes);
    ~ScopedTextFileSizeLimit();
    ScopedTextFileSizeLimit(const ScopedTextFileSizeLimit&) = delete;
    ScopedTextFileSizeLimit& operator=(const ScopedTextFileSizeLimit&) = delete;

private:
    qint64 m_previous;
};

} // namespace varnel
