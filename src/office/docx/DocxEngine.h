#pragma once
// The Word engine for .docx: every definition of the run replaced in the places the options select, as
// Word's own Replace All would, and the document written back only when something changed.
//
// Per definition, in order: the progress caption; the skip rule (find and replace equal under the
// comparison mode, or either 256 characters or longer); the main text with the main replace text (a line
// feed of a dictionary definition becomes a manual line break there); text boxes and VML WordArt when
// ChkWordTextBox is 1; headers and footers with their text boxes when ChkHeaderFooter is 1; hyperlink
// addresses when ChkHyperLink is 1. Then the footnotes and endnotes, with every definition applied as a
// plain case-insensitive replacement. WordArt, addresses and notes get plain replacement, the others
// Word's find with its options.
//
// A document Word could not change and save (editing restricted to reading, comments or form fields, or a
// password to modify) is refused with a message box and left untouched. A definition Word would reject (an
// invalid ^ code or wildcard pattern) changes nothing; its message is reported with the file, which is still
// saved when other definitions changed it.

#include "core/DocumentEngine.h"

namespace varnel::office {

class DocxEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString& path, const EngineRequest& request) override;

    // The message and log text of a document whose editing is restricted.
    static QString restrictedNotice(const QString& path);
    static QString restrictedError();
    // The message and log text of a document that needs a password to be modified.
    static QString writeProtectedNotice(const QString& path);
    static QString writeProtectedError();
    // The replace text for the main text: with fromDictionary, each line feed that does not follow a
    // carriage return becomes ^l.
    static QString mainReplaceText(const QString& replace, bool fromDictionary);
};

} // namespace varnel::office
