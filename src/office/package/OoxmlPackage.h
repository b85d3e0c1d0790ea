#pragma once
// An Office Open XML package (.docx .xlsx .xlsm .pptx): a zip archive of parts, with content types and
// relationships. The engines ask for a part's parsed XML, edit it, mark it changed and save.
//
// Opening validates the archive against hostile or broken input (not a zip, encrypted, unsafe or duplicate
// entry names, zip bombs, DTDs) before anything is inflated. Parsing keeps everything the engines do not
// touch: comments, processing instructions, the declaration, whitespace-only text, CR LF inside text and
// attribute values as they are. Saving re-serialises only the parts marked changed; every other entry is
// copied in its compressed form, and the result is verified before it atomically replaces the file.

#include <QList>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <memory>

namespace varnel::office {

struct Relationship {
    QString id;
    QString type;
    QString target;        // as written in the relationships part
    bool external = false; // TargetMode="External"
    QString targetPart;    // the part an internal target resolves to (stored spelling); empty for external
};

class OoxmlPackage
{
public:
    // Limits that keep a hostile archive from exhausting memory. How well an entry compresses is no sign:
    // a real document of repetitive text compresses a thousandfold. What counts is the bytes inflated.
    static constexpr qint64 kMaxEntrySize = 200LL * 1024 * 1024;  // inflated bytes of one entry
    static constexpr int kMaxEntries = 5000;
    // The inflated bytes all parts read from one package may add up to: a quarter of the physical memory,
    // at least 64 MiB and at most 2 GiB.
    static qint64 defaultInflateLimit();

    ~OoxmlPackage();
    OoxmlPackage(const OoxmlPackage&) = delete;
    OoxmlPackage& operator=(const OoxmlPackage&) = delete;

    // Opens and validates the package; nullptr with *error (a Chinese description fit for the log line)
    // on bad input. Nothing is ever written by opening. inflateLimit bounds the bytes xml() inflates in all.
    static std::unique_ptr<OoxmlPackage> open(const QString& path, QString* error,
                                              qint64 inflateLimit = defaultInflateLimit());
    // The same for a package that may be encrypted with an open password (an OLE compound file holding
    // "EncryptedPackage"): with a password it is decrypted in memory, and save() encrypts it again with
    // the same password and settings. A wrong password gives "文档已加密，密码不正确，无法打开"; an empty
    // password opens as above. The password is ignored for a package that is not encrypted.
    static std::unique_ptr<OoxmlPackage> open(const QString& path, const QString& password, QString* error,
                                              qint64 inflateLimit = defaultInflateLimit());

    QString path() const;
    // Entry names in archive order, without a leading "/".
    QStringList partNames() const;
    // Part names compare without regard to letter case, as in the package format.
    bool hasPart(const QString& name) const;
    // The target of the package's officeDocument relationship, e.g. "word/document.xml".
    QString mainDocumentPart() const;
    // From [Content_Types].xml: the Override for the part, else the Default for its extension; empty when none.
    QString contentType(const QString& partName) const;

    // Parsed XML of a part, parsed once and cached; nullptr with *error when the part is missing, too
    // large (or past what the package may inflate in all), not well-formed, carries a DTD or is in an encoding other than UTF-8 or UTF-16.
    pugi::xml_document* xml(const QString& partName, QString* error);

    // The stored bytes of a part, inflated within the same limits as xml(); false with *error otherwise.
    bool data(const QString& partName, QByteArray* bytes, QString* error);
    // Adds a new part (a picture, say) written on the next save, after the existing entries. False when a
    // part of that name exists or was added already. Its content type and relationship are the caller's.
    bool addPart(const QString& partName, const QByteArray& bytes);

    // Leaves a part out of the next save, with its Override in [Content_Types].xml and every relationship
    // that targets it, so that nothing points to it any more. False with *error when there is no such part
    // or a relationships part cannot be read (nothing is then changed).
    bool removePart(const QString& partName, QString* error);

    // Relationships of a part (from its _rels/<name>.rels); empty when it has none. The package's own
    // relationships are those of the part "".
    QList<Relationship> relationships(const QString& partName, QString* error);
    // "word/_rels/document.xml.rels" for "word/document.xml"; "_rels/.rels" for "".
    QString relationshipsPartOf(const QString& partName) const;

    // The cached document of this part (loaded with xml()) is re-serialised on save.
    void markChanged(const QString& partName);
    bool changed() const;

    // Writes the package back over its file when something changed (true without writing anything when
    // nothing did). Unchanged entries are copied compressed as they are; changed parts are re-serialised.
    // The result is verified (reopened, every changed part inflated, compared with what was serialised and
    // checked well-formed) and then replaces the file atomically, keeping its permissions. On false the
    // file is untouched and *error says why.
    bool save(QString* error);
    // The same to another path; always writes.
    bool saveAs(const QString& path, QString* error);

private:
    OoxmlPackage();
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace varnel::office
