#pragma once
// Content controls whose text is bound to a node of a custom XML part (w:sdtPr/w:dataBinding). Word shows
// the bound node's value and puts it back into the control whenever the document opens, so a replacement
// in the control's text alone would be undone: the node must get the control's new text too.
//
// Bindings are found through the control's w:storeItemID (the ds:itemID of a customXml/itemPropsN.xml,
// the properties part of the item holding the data) and its w:xpath, an absolute path of element steps
// such as /ns0:company[1]/ns0:name[1] (an attribute as the last step), with prefixes from
// w:prefixMappings. Only controls of plain text are followed: a date, a list or a picture keeps a value
// in its node that is not the text shown, and a control showing its placeholder has no value yet.

#include "office/docx/WordNames.h"
#include "office/package/OoxmlPackage.h"

#include <QString>

#include <vector>

namespace varnel::office {

class WordDataBindings
{
public:
    // Notes the bound plain-text controls of a part's XML and their text as it is now.
    void collect(const WordNames& names, pugi::xml_node root);
    // Writes the text of every noted control whose text has changed since into its bound node, and marks
    // the custom XML parts changed. A binding that cannot be followed is left alone.
    void update(OoxmlPackage& package) const;

    // The text of a control's content: w:t, tabs and breaks, paragraphs separated by line feeds; deleted
    // text left out.
    static QString controlText(const WordNames& names, pugi::xml_node content);

private:
    struct Binding {
        const WordNames* names = nullptr;
        // The control's w:sdtPr: a paragraph mark splitting the control leaves it (and the binding) with
        // the part after the mark, whose w:sdtContent is then the one to read.
        pugi::xml_node properties;
        QString xpath;
        QString prefixMappings;
        QString storeItemId;
        QString text; // when collected
    };

    std::vector<Binding> m_bindings;
};

} // namespace varnel::office
