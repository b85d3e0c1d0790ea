#pragma once
// Hyperlinks written as HYPERLINK fields rather than w:hyperlink elements: the address is an argument of
// the field instruction, held by a simple field's w:instr attribute or by the w:instrText runs of a complex
// field. Word lists these among a document's hyperlinks, so their addresses are replaced with the others.

#include "office/docx/WordNames.h"

#include <QString>

#include <pugixml.hpp>

#include <vector>

namespace varnel::office {

class WordHyperlinkField
{
public:
    // The HYPERLINK fields under root, in document order (deleted field codes excluded).
    static std::vector<WordHyperlinkField> collect(const WordNames& names, pugi::xml_node root);

    // The field's instruction, as written.
    QString instruction() const;
    // Replaces every occurrence of find in the address (case- and width-insensitive, plain text) and
    // writes the instruction back when it changed; the number of replacements.
    int replaceInAddress(const QString& find, const QString& replace);

    // The span of the address in an instruction ("HYPERLINK "http://a" \o "tip"" gives the span of
    // http://a); length 0 when there is none (a link to a bookmark only).
    static std::pair<qsizetype, qsizetype> addressSpan(const QString& instruction);

private:
    void setInstruction(const QString& instruction);

    pugi::xml_attribute m_instr;            // a simple field's instruction
    std::vector<pugi::xml_node> m_instrTexts; // a complex field's w:instrText elements
};

} // namespace varnel::office
