#include "office/docx/WordIds.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace varnel::office {

WordIds::WordIds(const WordNames& names, pugi::xml_node node)
    : m_names(names)
{
    collect(node.root());
    long long highest = 0;
    for (const long long id : m_used)
        highest = std::max(highest, id);
    if (highest < INT32_MAX)
        m_next = highest + 1;
}

void WordIds::collect(pugi::xml_node root)
{
    // pugixml walks the tree without recursion, so a deep document cannot exhaust the stack.
    struct Walker : pugi::xml_tree_walker {
        Walker(const WordNames& names, std::unordered_set<long long>& used)
            : m_names(names), m_used(used), m_id(names.qualified("id")), m_val(names.qualified("val"))
        {
        }
        bool for_each(pugi::xml_node& node) override
        {
            if (const pugi::xml_attribute attribute = node.attribute(m_id.c_str()))
                m_used.insert(attribute.as_llong());
            if (m_names.is(node, "id"))
                m_used.insert(node.attribute(m_val.c_str()).as_llong());
            return true;
        }
        const WordNames& m_names;
        std::unordered_set<long long>& m_used;
        const std::string m_id;
        const std::string m_val;
    } walker(m_names, m_used);
    root.traverse(walker);
}

void WordIds::renumber(pugi::xml_node part)
{
    if (pugi::xml_attribute id = part.attribute(m_names.qualified("id").c_str()))
        id.set_value(next());
    if (!m_names.is(part, "sdt"))
        return;
    pugi::xml_node props = m_names.child(part, "sdtPr");
    if (pugi::xml_node id = m_names.child(props, "id"))
        id.attribute(m_names.qualified("val").c_str()).set_value(next());
    if (pugi::xml_node binding = m_names.child(props, "dataBinding"))
        props.remove_child(binding);
}

long long WordIds::next()
{
    while (m_used.count(m_next))
        ++m_next;
    m_used.insert(m_next);
    return m_next;
}

} // namespace varnel::office
