#include "office/xlsx/CellReference.h"

namespace varnel::office {

QString CellReference::toString() const
{
    return isValid() ? columnName(column) + QString::number(row) : QString();
}

CellReference CellReference::parse(QStringView text)
{
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$')
        ++i;
    const qsizetype lettersStart = i;
    while (i < text.size() && text[i].isLetter() && text[i].unicode() < 128)
        ++i;
    const int column = columnNumber(text.mid(lettersStart, i - lettersStart));
    if (i < text.size() && text[i] == u'$')
        ++i;
    const qsizetype digitsStart = i;
    qint64 row = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && row <= kMaxRow)
        row = row * 10 + (text[i++].unicode() - u'0');
    if (i != text.size() || i == digitsStart || column == 0 || row < 1 || row > kMaxRow)
        return {};
    return {int(row), column};
}

QString CellReference::columnName(int column)
{
    if (column < 1 || column > kMaxColumn)
        return {};
    QString name;
    for (int c = column; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

int CellReference::columnNumber(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int column = 0;
    for (QChar ch : letters) {
        const char16_t c = ch.toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return 0;
        column = column * 26 + (c - u'A' + 1);
    }
    return column <= kMaxColumn ? column : 0;
}

} // namespace varnel::office
