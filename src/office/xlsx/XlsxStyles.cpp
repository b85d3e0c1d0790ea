#include "office/xlsx/XlsxStyles.h"

#include "office/package/OoxmlPackage.h"
#include "office/xlsx/SpreadsheetXml.h"
#include "office/xlsx/XlsxXml.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace varnel::office {

namespace {

// A cell format as a key: its attributes in name order (a true applyNumberFormat as "1") and its children.
std::string formatKey(pugi::xml_node xf)
{
    std::vector<std::string> attributes;
    for (const pugi::xml_attribute attribute : xf.attributes()) {
        const bool applied = !std::strcmp(attribute.name(), "applyNumberFormat") && !std::strcmp(attribute.value(), "true");
        attributes.push_back(std::string(attribute.name()) + '=' + (applied ? "1" : attribute.value()));
    }
    std::sort(attributes.begin(), attributes.end());
    std::ostringstream key;
    for (const std::string& attribute : attributes)
        key << attribute << '\n';
    for (const pugi::xml_node child : xf.children())
        child.print(key, "", pugi::format_raw);
    return key.str();
}

void setAttribute(pugi::xml_node node, const char* name, const char* value)
{
    pugi::xml_attribute attribute = node.attribute(name);
    (attribute ? attribute : node.append_attribute(name)).set_value(value);
}

} // namespace

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
    m_package = &package;
    m_partName = partName;
    m_cellXfs = cellXfs;
    return true;
}

int XlsxStyles::withNumberFormat(int s, int numFmtId)
{
    if (numFmtId <= 0 || m_styles.formatCode(s).compare(u"General", Qt::CaseInsensitive) != 0)
        return s;
    const auto known = m_withNumberFormat.constFind({s, numFmtId});
    if (known != m_withNumberFormat.cend())
        return *known;
    const int index = addCellFormat(s, numFmtId);
    m_withNumberFormat.insert({s, numFmtId}, index < 0 ? s : index);
    return index < 0 ? s : index;
}

int XlsxStyles::addCellFormat(int s, int numFmtId)
{
    if (!m_cellXfs)
        return -1;
    std::vector<pugi::xml_node> formats;
    for (pugi::xml_node xf = SpreadsheetXml::child(m_cellXfs, "xf"); xf; xf = SpreadsheetXml::next(xf, "xf"))
        formats.push_back(xf);
    pugi::xml_document scratch;
    const bool known = s >= 0 && size_t(s) < formats.size();
    pugi::xml_node wanted = known ? scratch.append_copy(formats[size_t(s)])
                                  : scratch.append_child((XlsxXml::prefixOf(m_cellXfs) + "xf").c_str());
    setAttribute(wanted, "numFmtId", std::to_string(numFmtId).c_str());
    setAttribute(wanted, "applyNumberFormat", "1");
    const std::string key = formatKey(wanted);
    for (size_t i = 0; i < formats.size(); ++i) {
        if (formatKey(formats[i]) == key)
            return int(i);
    }
    if (formats.empty())
        m_cellXfs.append_copy(wanted);
    else
        m_cellXfs.insert_copy_after(wanted, formats.back());
    if (pugi::xml_attribute count = m_cellXfs.attribute("count"))
        count = formats.size() + 1;
    m_package->markChanged(m_partName);
    m_styles.appendCellFormat(numFmtId);
    m_quotePrefix.push_back(known ? m_quotePrefix[size_t(s)] : 0);
    m_unlocked.push_back(known ? m_unlocked[size_t(s)] : 0);
    m_formats.emplace_back();
    return int(formats.size());
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
