#include "office/xlsx/XlsxSharedStrings.h"

#include "office/xlsx/XlsxXml.h"

namespace varnel::office {

void XlsxSharedStrings::load(pugi::xml_node root)
{
    m_root = root;
    m_nodes = XlsxXml::children(root, "si");
    m_items.resize(m_nodes.size());
}

const XlsxStringItem* XlsxSharedStrings::item(qsizetype index)
{
    if (index < 0 || size_t(index) >= m_nodes.size())
        return nullptr;
    std::optional<XlsxStringItem>& item = m_items[size_t(index)];
    if (!item)
        item.emplace(m_nodes[size_t(index)]);
    return &*item;
}

ExcelMatcher::Signature XlsxSharedStrings::signature(qsizetype index, bool matchCase)
{
    std::vector<std::optional<ExcelMatcher::Signature>>& signatures = m_signatures[matchCase ? 1 : 0];
    if (signatures.size() < m_nodes.size())
        signatures.resize(m_nodes.size());
    std::optional<ExcelMatcher::Signature>& signature = signatures[size_t(index)];
    if (!signature)
        signature = ExcelMatcher::signatureOf(item(index)->text(), matchCase);
    return *signature;
}

qsizetype XlsxSharedStrings::add(const XlsxStringItem& newItem)
{
    if (!newItem.rich()) {
        if (!m_indexed) {
            // Room for the items there are and as many again that replacements add, without rehashing.
            m_plainIndex.reserve(qsizetype(m_nodes.size()) * 2);
            for (qsizetype i = qsizetype(m_nodes.size()) - 1; i >= 0; --i) {
                const XlsxStringItem* existing = item(i);
                if (!existing->rich())
                    m_plainIndex.insert(existing->text(), i);
            }
            m_indexed = true;
        }
        const auto found = m_plainIndex.constFind(newItem.text());
        if (found != m_plainIndex.constEnd())
            return *found;
    }
    const std::string prefix = XlsxXml::prefixOf(m_root);
    pugi::xml_node si = m_root.append_child((prefix + "si").c_str());
    newItem.write(si, prefix);
    const qsizetype index = qsizetype(m_nodes.size());
    m_nodes.push_back(si);
    m_items.emplace_back();
    if (!newItem.rich())
        m_plainIndex.insert(newItem.text(), index);
    m_added = true;
    return index;
}

bool XlsxSharedStrings::finish()
{
    if (!m_root || (!m_added && m_countDelta == 0))
        return false;
    if (pugi::xml_attribute count = m_root.attribute("count"))
        count.set_value(std::max<long long>(0, count.as_llong() + m_countDelta));
    if (pugi::xml_attribute unique = m_root.attribute("uniqueCount"))
        unique.set_value(static_cast<unsigned long long>(m_nodes.size()));
    m_added = false;
    m_countDelta = 0;
    return true;
}

} // namespace varnel::office
