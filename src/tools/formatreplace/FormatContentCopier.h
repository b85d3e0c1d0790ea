#pragma once
// Brings the content of a definition cell into one target document: copies of the cell's paragraphs in a
// scratch document, with everything they refer to made to exist in the target.
//
// - relationships (hyperlinks, pictures, linked objects) are added to the target's main part under new
//   ids, and the copies refer to those; a part they point to (a picture's media) is copied into the target
//   under a new name beside the others, with its content type (a Default for its extension when the target
//   has none, an Override otherwise);
// - a character or paragraph style the content uses (with the styles it is based on) is copied into the
//   target's styles when the target has no style of that id;
// - the namespace prefixes the content uses are declared on the target's root when it lacks them.
//
// What one cell needs is brought over once per target: prepare() returns the same copies for every match.

#include "office/docx/WordNames.h"
#include "office/package/OoxmlPackage.h"

#include <QHash>
#include <QString>

#include <map>
#include <vector>

namespace varnel::formatreplace {

class FormatContentCopier
{
public:
    FormatContentCopier(office::OoxmlPackage& source, const QString& sourceMain, office::OoxmlPackage& target,
                        const QString& targetMain);

    // Copies of the paragraphs of cell (a w:tc of the source's main part, null for a row without one: an
    // error) ready to go into the target;
    // false with *error when something they need could not be brought over.
    bool prepare(pugi::xml_node cell, std::vector<pugi::xml_node>* paragraphs, QString* error);

private:
    bool remapRelationships(pugi::xml_node node, QString* error);
    bool copyRelationship(const QString& sourceId, QString* newId, QString* error);
    bool copyPart(const QString& sourcePart, QString* newTarget, QString* error);
    bool addContentType(const QString& part, const QString& type, QString* error);
    bool copyStyles(pugi::xml_node node, QString* error);
    bool copyStyle(const QString& id, pugi::xml_node sourceStyles, pugi::xml_node targetStyles, int depth);
    void declareNamespaces(pugi::xml_node sourceRoot, pugi::xml_node targetRoot);
    QString stylesPart(office::OoxmlPackage& package, const QString& main);

    office::OoxmlPackage& m_source;
    QString m_sourceMain;
    office::OoxmlPackage& m_target;
    QString m_targetMain;
    std::string m_relPrefix = "r:";
    pugi::xml_document m_scratch;
    QHash<QString, QString> m_relationships; // source id -> target id, for this target
    int m_nextId = 1;
    std::map<pugi::xml_node_struct*, std::vector<pugi::xml_node>> m_prepared; // by source cell
};

} // namespace varnel::formatreplace
