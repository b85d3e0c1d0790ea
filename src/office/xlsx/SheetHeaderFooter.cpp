#include "office/xlsx/SheetHeaderFooter.h"

namespace varnel::office {

std::array<QString, 3> SheetHeaderFooter::split(const QString& text)
{
    std::array<QString, 3> sections;
    std::size_t current = Center;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            const QChar code = text[i + 1];
            if (code == u'L' || code == u'C' || code == u'R') {
                current = code == u'L' ? Left : code == u'C' ? Center : Right;
                ++i;
                continue;
            }
            if (code == u'&') {
                sections[current] += QStringLiteral("&&");
                ++i;
                continue;
            }
        }
        sections[current] += text[i];
    }
    return sections;
}

QString SheetHeaderFooter::join(const std::array<QString, 3>& sections)
{
    static const char* const codes[3] = {"&L", "&C", "&R"};
    QString text;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!sections[i].isEmpty())
            text += QLatin1String(codes[i]) + sections[i];
    }
    return text;
}

SheetHeaderFooter::Texts SheetHeaderFooter::texts(const QString& oddHeader, const QString& oddFooter)
{
    const auto header = split(oddHeader);
    const auto footer = split(oddFooter);
    return {header[0], header[1], header[2], footer[0], footer[1], footer[2]};
}

} // namespace varnel::office
