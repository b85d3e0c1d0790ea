#pragma once
// The control words the RTF reader acts on: destinations (what a group holds) and the words that stand
// for characters, end a run of text or change how bytes decode. Every other word only formats text.

#include <QByteArrayView>

namespace varnel {

// What a group whose first control word is a destination holds.
enum class RtfDestination {
    None,           // not a destination: the group only formats the text in it
    Skip,           // holds no document text (tables, metadata, bookmarks, list numbers ...)
    SkipBarrier,    // holds no searchable text but stands for an object in the text (picture, OLE object)
    FontTable,      // \fonttbl: the fonts' charsets decide how \'hh bytes read
    HeaderFooter,   // a story of its own
    Note,           // a story of its own
    TextBox,        // a story of its own
    FieldInstruction, // a story of its own, apart from the text
    Container,      // no text of its own, but may hold stories (shapes, drawing objects)
    MirrorContainer, // as Container, holding a second copy of stories for older readers
    Field,          // \field: its result is text of the enclosing story, set apart from the text around it
    Transparent,    // \fldrslt, \ud: text of the enclosing story
    UnicodePair,    // \upr: its first part is the ANSI copy of the \ud part
    ShapeProperty,  // \sp: a shape property, a name (\sn) and a value (\sv)
    PropertyName,   // \sn
    PropertyValue,  // \sv: a story of its own when it is WordArt's text, otherwise nothing
    RevisionTable,  // \revtbl: the authors of tracked changes
};

// The destination a group opened by this control word holds; None for a word that names none.
RtfDestination rtfDestination(QByteArrayView word);

// What a control word does to the reader (words not listed only format the text).
struct RtfWordAction {
    enum Kind {
        Character,  // stands for one character of text: `unit` (the marks Word's find names read as wordtext)
        Barrier,    // ends a run a match may span: cells, rows, sections, marks standing for objects
        Unicode,    // \uN
        UnicodeSkip, // \ucN
        Font,
        AssocFont,
        Plain,
        DoubleByteRun,
        SingleByteRun,
        DefaultFont,
        AnsiCodePage,
        Ansi,
        Mac,
        Pc,
        Pca,
        Charset,     // \fcharsetN in the font table
        FontCodePage, // \cpgN in the font table
        ProtectionLevel,
        EnforceProtection,
        ReadProtection,
        Deleted,     // \deleted: text of a deleted revision, which the find passes over
        ParagraphReset, // \pard: also leaves any table
        InTable,     // \intbl: the paragraph is in a table
        TableLevel,  // \itapN: the paragraph is in a table nested N deep
        TrackChanges, // \revisions, \revprot: changes are recorded as tracked changes
    };
    Kind kind = Character;
    char16_t unit = 0;
};

// What the control word does, or null for a word that only formats.
const RtfWordAction* rtfWordAction(QByteArrayView word);

} // namespace varnel
