#pragma once
// A .docx opened for replacement: its package, and the places a replacement run visits, found once.
//
// Stories: the main text (w:body with its tables, not the text boxes anchored in it); every text box of the
// main part (DrawingML and VML, inline or floating, in groups and canvases); every header and footer part;
// the text boxes of those; the footnotes and endnotes that are real notes (not separators). A text box that
// Word stores twice, as an mc:AlternateContent choice and as its VML fallback, yields two stories; the
// fallback one is a shadow, edited like the other but not counted again.

#include "office/docx/WordDataBindings.h"
#include "office/docx/WordHyperlinkField.h"
#include "office/docx/WordNames.h"
#include "office/package/OoxmlPackage.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace varnel::office {

struct WordStory {
    enum class Kind { Main, TextBox, HeaderFooter, HeaderFooterTextBox, Note };
    Kind kind = Kind::Main;
    QString part;
    pugi::xml_node container;
    bool shadow = false;
};

// Legacy VML WordArt: the text is the string attribute of a v:textpath.
struct WordArtText {
    pugi::xml_attribute text;
    bool shadow = false;
};

class DocxDocument
{
public:
    // Opens and reads the package; nullptr with a message for the log when it cannot be used. A password
    // opens a package encrypted with it (see OoxmlPackage::open), which save() then encrypts again.
    static std::unique_ptr<DocxDocument> open(const QString& path, QString* error, const QString& password = QString());

    // Editing restricted so that Word's Replace All cannot change the text: enforced w:documentProtection
    // allowing reading only, comments only or form fields only.
    bool editingRestricted() const { return m_readOnly; }
    // A password is needed to modify the document (w:writeProtection with a password hash; without one it
    // only recommends opening read-only).
    bool writeProtected() const { return m_writeProtected; }
    // Changes are to be recorded (w:trackRevisions, or enforced protection that allows tracked changes only).
    bool tracksChanges() const { return m_tracksChanges; }
    // A w:id above every one the document's stories use, for new revisions.
    int nextRevisionId() const;

    const std::vector<WordStory>& stories() const { return m_stories; }
    const WordNames& names(const QString& part) const { return m_names.at(part); }
    // WordArt of the main part.
    const std::vector<WordArtText>& wordArt() const { return m_wordArt; }
    // The Target attributes of the main part's external hyperlink relationships.
    const std::vector<pugi::xml_attribute>& hyperlinkTargets() const { return m_hyperlinkTargets; }
    QString hyperlinkRelationshipsPart() const;
    // The HYPERLINK fields of the main part.
    std::vector<WordHyperlinkField>& hyperlinkFields() { return m_hyperlinkFields; }
    QString mainPart() const { return m_main; }

    void markChanged(const QString& part) { m_package->markChanged(part); }
    // Gives the nodes that data-bound content controls show the controls' new text (see WordDataBindings).
    void updateDataBindings() { m_dataBindings.update(*m_package); }
    // Writes the changed parts back over the file; false with a message, the file untouched.
    bool save(QString* error) { return m_package->save(error); }

private:
    DocxDocument() = default;
    bool load(QString* error);
    pugi::xml_node root(const QString& part, QString* error);
    void addTextBoxes(const QString& part, pugi::xml_node root, WordStory::Kind kind, bool wordArt);
    bool readProtection(const QString& settingsPart, QString* error);
    void readHyperlinks();

    std::unique_ptr<OoxmlPackage> m_package;
    QString m_main;
    std::map<QString, WordNames> m_names;
    std::vector<WordStory> m_stories;
    std::vector<WordArtText> m_wordArt;
    std::vector<pugi::xml_attribute> m_hyperlinkTargets;
    std::vector<WordHyperlinkField> m_hyperlinkFields;
    WordDataBindings m_dataBindings;
    bool m_readOnly = false;
    bool m_writeProtected = false;
    bool m_tracksChanges = false;
};

} // namespace varnel::office
