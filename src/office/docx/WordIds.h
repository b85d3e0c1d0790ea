#pragma once
// Fresh values for the w:id of elements a split copies (content controls, revisions), so that every id
// of a part stays unique. The ids in use are read from the whole part on the first request.

#include "office/docx/WordNames.h"

#include <pugixml.hpp>

#include <unordered_set>

namespace varnel::office {

class WordIds
{
public:
    // The ids of the part holding node: w:id attributes, and the w:val of w:id elements (w:sdtPr).
    WordIds(const WordNames& names, pugi::xml_node node);

    // An id no element of the part has, above the ones in use while they leave room in 32 bits.
    long long next();
    // Gives one of the two parts of a split element fresh ids where the element's must stay unique (its
    // w:id, a content control's w:id element); a content control part loses its data binding, which stays
    // with the other part: bound twice, both would show the bound value.
    void renumber(pugi::xml_node part);

private:
    void collect(pugi::xml_node node);

    const WordNames& m_names;
    std::unordered_set<long long> m_used;
    long long m_next = 1;
};

} // namespace varnel::office
