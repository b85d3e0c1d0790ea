#include "office/xlsx/XlsxStyles.h"

#include "office/package/OoxmlPackage.h"
#include "office/xlsx/SpreadsheetXml.h"

namespace varnel::office {

bool XlsxStyles::load(OoxmlPackage& package, const QString& partName, bool date1904, QString* error)
{
    m_date1904 = date1904;
    m_general = ExcelNumberFormat(QStringLiteral("General"), date1904);
    if (!m_styles.load(package, partName, error))
        return false;
    // Parsed (and checked) by the styles' own load.
    const pugi::xml_document* document = partName.isEmpty() || !package.hasPart(partName) ? nullptr
                                                                                            : package.xml(partName, error);
    const pugi::xml_node cellXfs = document ? SpreadsheetXml::child(SpreadsheetXml::child(*document, "styleSheet"), "cellXfs")
                                            : pugi::xml_node();
    for (pugi::xml_node xf = SpreadsheetXml::child(cellXfs, "xf"); xf; xf = SpreadsheetXml::next(xf, "xf")) {
        m_quotePrefix.push_back(SpreadsheetXml::flag(xf, "quotePrefix") ? 1 : 0);
        m_unlocked.push_back(SpreadsheetXml::flag(SpreadsheetXml::child(xf, "protection"), "locked", true) ? 0 : 1);
    }
    m_formats.resize(m_quotePrefix.size());
    return true;
}

const ExcelNumberFormat& XlsxStyles::format(int s)
{
    if (s < 0 || size_t(s) >= m_formats.size())
        return m_general;
    std::optional<ExcelNumberFormat>& format = m_formats[size_t(s)];
    if (!format)
        format.emplace(m_styles.formatCode(s), m_date1904);
    return *format;
}

bool XlsxStyles::locked(int s) const
{
    return s < 0 || size_t(s) >= m_unlocked.size() || !m_unlocked[size_t(s)];
}

bool XlsxStyles::keepsText(int s) const
{
    if (s >= 0 && size_t(s) < m_quotePrefix.size() && m_quotePrefix[size_t(s)])
        return true;
    return m_styles.formatCode(s) == u"@";
}

} // namespace varnel::office
