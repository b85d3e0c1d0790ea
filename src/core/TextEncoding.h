#pragma once

#include <QByteArrayView>
#include <QString>

namespace varnel {

enum class TextEncoding {
    None = 0,    // file missing or empty: not processed
    Ansi = 1,    // the Chinese code page, read and written as GB18030
    Utf8 = 2,    // UTF-8, written with the mark EF BB BF
    Utf16Le = 3, // UTF-16 little-endian with the mark FF FE
    Utf16Be = 4, // UTF-16 big-endian with the mark FE FF: not processed
};

// Detects the encoding of the file at path from its marks and a sample of its first 204,701 bytes.
// Reads only; the file is closed again before it returns.
TextEncoding DetectTextEncoding(const QString& path);

// The same detection over bytes already in memory: head is the start of the file (at least the sample,
// or the whole file), fileSize the length of the whole file.
TextEncoding detectTextEncoding(QByteArrayView head, qint64 fileSize);

} // namespace varnel
