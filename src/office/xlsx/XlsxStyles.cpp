#include "office/xlsx/XlsxStyles.h"

#include "office/xlsx/XlsxXml.h"

#include <cstring>

namespace varnel::office {

void XlsxStyles::load(pugi::xml_node styles, bool date1904)
{
    m_date1904 = date1904;
    m_general = ExcelNumberFormat(QStringLiteral("General"), date1904);
    for (pugi::xml_node numFmt : XlsxXml::children(XlsxXml::child(styles, "numFmts"), "numFmt")) {
        m_customCodes.insert(numFmt.attribute("numFmtId").as_int(-1),
                             QString::fromUtf8(numFmt.attribute("formatCode").value()));
    }
    for (pugi::xml_node xf : XlsxXml::children(XlsxXml::child(styles, "cellXfs"), "xf")) {
        const char* quote = xf.attribute("quotePrefix").value();
        m_cellFormats.push_back({xf.attribute("numFmtId").as_int(0), !std::strcmp(quote, "1") || !std::strcmp(quote, "true")});
    }
    m_formats.resize(m_cellFormats.size());
}

const XlsxStyles::CellFormat& XlsxStyles::cellFormat(int s) const
{
    static const CellFormat general;
    return s >= 0 && size_t(s) < m_cellFormats.size() ? m_cellFormats[size_t(s)] : general;
}

const ExcelNumberFormat& XlsxStyles::format(int s)
{
    if (s < 0 || size_t(s) >= m_formats.size())
        return m_general;
    std::optional<ExcelNumberFormat>& format = m_formats[size_t(s)];
    if (!format) {
        const int id = cellFormat(s).numFmtId;
        const QString code = m_customCodes.contains(id) ? m_customCodes.value(id) : ExcelNumberFormat::builtInCode(id);
        format.emplace(code.isEmpty() ? QStringLiteral("General") : code, m_date1904);
    }
    return *format;
}

bool XlsxStyles::keepsText(int s)
{
    const CellFormat& cell = cellFormat(s);
    if (cell.quotePrefix || cell.numFmtId == 49)
        return true;
    return m_customCodes.value(cell.numFmtId) == u"@";
}

} // namespace varnel::office
