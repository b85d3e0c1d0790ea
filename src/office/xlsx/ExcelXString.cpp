#include "office/xlsx/ExcelXString.h"

namespace varnel::office {

namespace {

// The code unit of the escape that starts at i, or -1 when none starts there.
int escapeAt(const QString& s, qsizetype i)
{
    if (i + 7 > s.size() || s[i] != u'_' || s[i + 1] != u'x' || s[i + 6] != u'_')
        return -1;
    int code = 0;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const char16_t c = s[k].unicode();
        const int digit = c >= u'0' && c <= u'9' ? c - u'0'
                        : c >= u'a' && c <= u'f' ? c - u'a' + 10
                        : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                 : -1;
        if (digit < 0)
            return -1;
        code = code * 16 + digit;
    }
    return code;
}

} // namespace

QString ExcelXString::decode(const QString& stored)
{
    if (!stored.contains(QLatin1String("_x")))
        return stored;
    QString text;
    text.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size();) {
        const int code = escapeAt(stored, i);
        if (code >= 0) {
            text += QChar(char16_t(code));
            i += 7;
        } else {
            text += stored[i];
            ++i;
        }
    }
    return text;
}

QString ExcelXString::encode(const QString& text)
{
    QString stored;
    stored.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'_' && escapeAt(text, i) >= 0)
            stored += QStringLiteral("_x005F_");
        else if ((c < 0x20 && c != u'\t' && c != u'\n') || c == 0xFFFE || c == 0xFFFF)
            stored += QStringLiteral("_x") + QString::number(c, 16).toUpper().rightJustified(4, u'0')
                + QLatin1Char('_');
        else
            stored += text[i];
    }
    return stored;
}

} // namespace varnel::office
