#pragma once
// Rewrites the bytes of some characters of an RTF document and copies every other byte unchanged.
//
// A replacement is written where the first matched character was, in the formatting in effect there;
// the other matched characters lose their bytes while the control words between them stay. Text is
// written as RTF: ASCII as it is (with \ { } escaped), the marks of wordtext as their control words,
// anything else as \uN followed by the fallback the \ucN in effect asks for.

#include "office/rtf/RtfDocument.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace varnel {

class RtfEditor
{
public:
    explicit RtfEditor(const RtfDocument& document)
        : m_document(document)
    {
    }

    // Replaces the characters [first, first + count) of a segment by text.
    void replace(const RtfSegment& segment, qsizetype first, qsizetype count, const QString& text);
    // The same recorded as tracked changes: the characters' bytes stay in \deleted groups and the text
    // follows the first of them in a \revised group, each naming the author (an index of the revision
    // table) and the time (packed as \revdttm wants it).
    void replaceTracked(const RtfSegment& segment, qsizetype first, qsizetype count, const QString& text,
                        int author, qint32 dateTime);
    // Inserts bytes at an offset of the document.
    void insert(qsizetype offset, QByteArray bytes);
    // Removes the bytes [begin, end), and with them every edit of a character inside.
    void remove(qsizetype begin, qsizetype end) { m_edits.push_back({begin, end, {}, false, {}}); }
    // The same recorded as a tracked change: the bytes (a whole group, such as a field's) stay in a
    // \deleted group, and every edit of a character inside is dropped.
    void removeTracked(qsizetype begin, qsizetype end, int author, qint32 dateTime);
    bool isEmpty() const { return m_edits.empty(); }

    // The document's bytes with every edit applied.
    QByteArray apply(QByteArrayView original) const;

    // The RTF for text written where a character with this context stood.
    static QByteArray encode(QStringView text, const RtfChar& context);

private:
    static QByteArray deletedGroup(int author, qint32 dateTime);

    // The bytes [begin, end) become `bytes`, or, with keep, stay between `bytes` and `after`.
    struct Edit {
        qsizetype begin = 0;
        qsizetype end = 0;
        QByteArray bytes;
        bool keep = false;
        QByteArray after;
    };

    const RtfDocument& m_document;
    std::vector<Edit> m_edits;
};

} // namespace varnel
