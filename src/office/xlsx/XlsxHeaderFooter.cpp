#include "office/xlsx/XlsxHeaderFooter.h"

#include "office/xlsx/SheetHeaderFooter.h"
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
    const std::array<QString, 3> parts = SheetHeaderFooter::split(stored);
    return {parts[0], parts[1], parts[2]};
}

QString XlsxHeaderFooter::joined(const QStringList& sections)
{
    return SheetHeaderFooter::join({sections.value(0), sections.value(1), sections.value(2)});
}

} // namespace varnel::office
