#pragma once
// The markup half of the well-formedness scan (XmlWellFormedness.h): references, attributes, nesting and,
// when asked, what pugixml checks when it builds a tree. The characters are checked before, so only ASCII
// matters here.

#include <QString>

#include <string_view>
#include <vector>

namespace varnel::office {

class XmlMarkupScan
{
public:
    // structure: also the nesting of the elements, their names and what stands outside the root.
    XmlMarkupScan(std::string_view text, bool structure)
        : m_text(text)
        , m_structure(structure)
    {
    }

    // Empty when the markup is sound, else a Chinese reason naming the byte offset.
    QString run();

    // A character XML 1.0 allows.
    static bool isXmlChar(char32_t c);
    // "（第N字节）", the position a reason names.
    static QString at(std::string_view::size_type offset);

private:
    QString endTag(std::string_view::size_type* pos);
    // The problem of what lies between two pieces of markup, [from, to).
    QString textProblem(std::string_view::size_type from, std::string_view::size_type to) const;
    QString processingInstruction(std::string_view::size_type start) const;
    QString reference(std::string_view::size_type* pos) const;
    QString startTag(std::string_view::size_type* pos);
    // The name of an attribute the tag just scanned holds twice; empty when none.
    std::string_view duplicateAttribute();
    // Moves *pos past the next `end`; false when there is none.
    bool skipPast(std::string_view end, std::string_view::size_type* pos) const;

    std::string_view m_text;
    const bool m_structure;
    int m_depth = 0;
    int m_roots = 0;
    std::vector<std::string_view> m_attributes;
    std::vector<std::string_view> m_open; // the names of the elements open, when checking the structure
};

} // namespace varnel::office
