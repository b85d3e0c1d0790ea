#include "office/xlsx/XlsxHeaderFooter.h"

#include "office/xlsx/XlsxXml.h"

namespace varnel::office {

XlsxHeaderFooter::XlsxHeaderFooter(pugi::xml_node worksheet)
    : m_worksheet(worksheet)
{
}

pugi::xml_node XlsxHeaderFooter::element(bool footer, bool create)
{
    const char* name = footer ? "oddFooter" : "oddHeader";
    pugi::xml_node headerFooter = XlsxXml::child(m_worksheet, "headerFooter");
    if (!create)
        return XlsxXml::child(headerFooter, name);
    if (!headerFooter) {
        headerFooter = XlsxXml::ensureChild(m_worksheet, "headerFooter",
                                            {"rowBreaks", "colBreaks", "customProperties", "cellWatches",
                                             "ignoredErrors", "smartTags", "drawing", "legacyDrawing",
                                             "legacyDrawingHF", "picture", "oleObjects", "controls",
                                             "webPublishItems", "tableParts", "extLst"});
    }
    if (footer)
        return XlsxXml::ensureChild(headerFooter, name, {"evenHeader", "evenFooter", "firstHeader", "firstFooter"});
    return XlsxXml::ensureChild(headerFooter, name, {"oddFooter", "evenHeader", "evenFooter", "firstHeader", "firstFooter"});
}

QStringList XlsxHeaderFooter::texts() const
{
    QStringList result;
    const pugi::xml_node headerFooter = XlsxXml::child(m_worksheet, "headerFooter");
    for (const char* name : {"oddHeader", "oddFooter"})
        result += sections(QString::fromUtf8(XlsxXml::child(headerFooter, name).text().get()));
    return result;
}

void XlsxHeaderFooter::setText(int which, const QString& text)
{
    const bool footer = which >= LeftFooter;
    QStringList parts = texts().mid(footer ? 3 : 0, 3);
    parts[which % 3] = text;
    element(footer, true).text().set(joined(parts).toUtf8().constData());
}

QStringList XlsxHeaderFooter::sections(const QString& stored)
{
    QStringList parts{QString(), QString(), QString()};
    int current = 1;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored.at(i) == u'&' && i + 1 < stored.size()) {
            const QChar code = stored.at(i + 1);
            const int section = code == u'L' ? 0 : code == u'C' ? 1 : code == u'R' ? 2 : -1;
            if (section >= 0) {
                current = section;
                ++i;
                continue;
            }
            // Any other code, "&&" included, stays with its section.
            parts[current] += stored.mid(i, 2);
            ++i;
            continue;
        }
        parts[current] += stored.at(i);
    }
    return parts;
}

QString XlsxHeaderFooter::joined(const QStringList& sections)
{
    QString stored;
    const char16_t codes[] = {u'L', u'C', u'R'};
    for (int i = 0; i < 3; ++i) {
        if (!sections.value(i).isEmpty())
            stored += u'&' + QChar(codes[i]) + sections.value(i);
    }
    return stored;
}

} // namespace varnel::office
