#pragma once
// What the control words of an RTF document's header say about the whole document: the fonts and code
// pages that decide how \'hh bytes read, and the protection and revision marking Word applies.

#include "office/rtf/RtfControlWords.h"
#include "office/rtf/RtfTokenizer.h"

#include <map>

namespace varnel {

class RtfDocumentSettings
{
public:
    // Takes in a control word that sets something for the whole document; false for any other word.
    bool apply(RtfWordAction::Kind kind, const RtfToken& token);
    // Takes in a word of a font's entry in the font table (\fcharsetN, \cpgN).
    void describeFont(int font, RtfWordAction::Kind kind, int value);

    // The code page of text in this font (-1 for the default font), or in the associated font when the
    // run is double-byte (\dbch) and that font's code page is a double-byte one.
    int codePage(int font, int assocFont, bool doubleByteRun) const;

    // Enforced protection that keeps Word's Replace All out: reading only (\protlevel3, \readprot),
    // comments only (\protlevel1) or form fields only (\protlevel2).
    bool editingRestricted() const;
    // Changes are recorded (\revisions, \revprot, or enforced \protlevel0: tracked changes only).
    bool tracksChanges() const;

private:
    struct Font {
        int charset = -1;
        int codePage = 0;
    };
    int fontCodePage(int font) const;

    std::map<int, Font> m_fonts;
    int m_defaultFont = 0;
    int m_ansiCodePage = 0;
    int m_baseCodePage = 1252;
    int m_protectionLevel = -1;
    int m_enforceProtection = -1; // -1: not said, which counts as enforced
    bool m_readProtection = false;
    bool m_revisions = false;
};

} // namespace varnel
