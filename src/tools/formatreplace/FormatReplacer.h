#pragma once
// Replaces the matches of one find in a story by formatted content: paragraphs whose runs, hyperlinks and
// pictures go in as they are.
//
// Every occurrence is found on the story's text before anything changes, so the search never runs through
// content it has just inserted and a replacement that holds its own find text cannot loop. The edit is
// done in two steps. WordEditor first replaces each occurrence by placeholders, one per content paragraph
// separated by paragraph marks, which splits the target paragraph where the content has several, exactly as
// a typed replacement would. Each placeholder is then cut out of its run and the inline content of its
// paragraph goes in its place; a paragraph whose mark comes from the content takes the content's
// paragraph properties, the last one keeps the target's.

#include "office/docx/WordMatcher.h"
#include "office/docx/WordNames.h"

#include <pugixml.hpp>

#include <functional>
#include <vector>

namespace varnel::formatreplace {

class FormatReplacer
{
public:
    // Edits the story held by container (w:body) of a part whose root element is root.
    FormatReplacer(const office::WordNames& names, pugi::xml_node root, pugi::xml_node container);

    // Gives the content paragraphs, prepared for this part (FormatContentCopier); false when it cannot.
    using ContentSource = std::function<bool(std::vector<pugi::xml_node>*)>;

    // Replaces every occurrence (only the first one of the story, with onlyFirst) by the content, asked of
    // source only when there is an occurrence. The number of occurrences replaced; -1, the story
    // untouched, when source failed.
    int replace(const office::WordMatcher& matcher, bool onlyFirst, const ContentSource& source);

private:
    // Puts content paragraph `index` in place of the placeholder in t; the w:t holding the text after it
    // (which may hold further placeholders), or null.
    pugi::xml_node insertAt(pugi::xml_node t, const std::vector<pugi::xml_node>& content, size_t index);
    void insertInline(pugi::xml_node source, pugi::xml_node parent, pugi::xml_node before, bool inHyperlink);
    // Removes references to notes and comments, and the runs left empty by that, below node.
    void dropNoteReferences(pugi::xml_node node);
    void setParagraphProperties(pugi::xml_node paragraph, pugi::xml_node source);
    void renumberDrawings(pugi::xml_node node);
    int maxDrawingId(pugi::xml_node node) const;

    const office::WordNames& m_names;
    pugi::xml_node m_root;
    pugi::xml_node m_container;
    int m_nextDrawingId = 0; // 0 until the part's ids were read
};

} // namespace varnel::formatreplace
