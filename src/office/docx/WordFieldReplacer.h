#pragma once
// Replace All of ^d, Word's code for any field, over one story. Every outermost field, simple or
// complex, makes way for the replacement, which takes the formatting of the field's first run and is
// written as the editor writes any replacement.
//
// Fields in deleted text, in the code of another field or in a text box (a story of its own) are not
// visited. A field is left as it is when it cannot go without harm to what the document's reader holds:
// a complex field that ends in another paragraph or element than it begins in, and a field that is or
// holds a HYPERLINK field (whose address the run edits on its own), a text box or WordArt.

#include "office/docx/WordNames.h"
#include "office/docx/WordReplacement.h"

#include <pugixml.hpp>

#include <vector>

namespace varnel::office {

class WordFieldReplacer
{
public:
    explicit WordFieldReplacer(const WordNames& names);

    // Replaces the fields of the story held by container; the number of fields replaced. Nothing is
    // replaced when the replacement names the found text (^&): a field cannot be copied here.
    int replaceAll(pugi::xml_node container, const WordReplacement& replacement) const;

    // Removes the field spanning the sibling nodes first to last, unless it must stay (see above).
    bool removeField(pugi::xml_node first, pugi::xml_node last) const;
    // Whether the field spanning the sibling nodes first to last may go (see above).
    bool removable(pugi::xml_node first, pugi::xml_node last) const { return removable({first, last}); }

private:
    // A field as the sibling nodes it spans: a w:fldSimple, or the runs from a complex field's begin
    // mark to its end mark.
    struct Field {
        pugi::xml_node first;
        pugi::xml_node last;
    };
    struct Reading {
        std::vector<Field> fields;
        int depth = 0;        // open complex fields
        pugi::xml_node begin; // the run of the outermost one's begin mark
    };

    void collect(pugi::xml_node parent, Reading* reading) const;
    bool removable(const Field& field) const;
    static void removeNodes(const Field& field);

    const WordNames& m_names;
};

} // namespace varnel::office
