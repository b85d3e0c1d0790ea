#include "office/rtf/RtfRevisionTable.h"

#include "office/rtf/RtfEditor.h"

#include <cctype>

namespace varnel {

void RtfRevisionTable::read(QByteArrayView content, qsizetype closeBrace)
{
    m_authors.clear();
    m_closeBrace = closeBrace;
    // Each entry is a group holding the author's name and a semicolon. Control words in a name are left
    // out; the authors this program looks for are plain ASCII.
    int depth = 0;
    QByteArray name;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\\') {
            if (i + 1 < content.size() && !std::isalpha(static_cast<unsigned char>(content[i + 1]))) {
                if (depth == 1 && content[i + 1] != '\'' && content[i + 1] != '*')
                    name += content[i + 1];
                ++i;
                continue;
            }
            while (i + 1 < content.size()
                   && (std::isalnum(static_cast<unsigned char>(content[i + 1])) || content[i + 1] == '-'))
                ++i;
            if (i + 1 < content.size() && content[i + 1] == ' ')
                ++i;
        } else if (c == '{') {
            if (++depth == 1)
                name.clear();
        } else if (c == '}') {
            if (depth-- == 1) {
                const qsizetype semicolon = name.lastIndexOf(';');
                m_authors.append(QString::fromLatin1(semicolon < 0 ? name : name.left(semicolon)).trimmed());
            }
        } else if (depth == 1 && c != '\r' && c != '\n') {
            name += c;
        }
    }
}

QByteArray RtfRevisionTable::addition(const QString& author, qsizetype* offset, int* index) const
{
    const QByteArray entry = '{' + RtfEditor::encode(author, RtfChar()) + ";}";
    if (m_closeBrace >= 0) {
        *offset = m_closeBrace;
        *index = static_cast<int>(m_authors.size());
        return entry;
    }
    *offset = m_place;
    *index = 1;
    return "{\\*\\revtbl {Unknown;}" + entry + '}';
}

} // namespace varnel
