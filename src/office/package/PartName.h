#pragma once
// Names of package parts: which zip entry names are safe to handle, where a part's relationships live and
// which part a relationship target points to.

#include <QString>

namespace varnel::office {

// Empty when the entry name is acceptable; otherwise a Chinese reason. Refused: empty names, absolute
// names ("/x", "C:x"), backslashes, control characters and "." or ".." segments, so no name can point
// outside the package when someone unpacks it.
QString unsafeEntryNameReason(const QString& name);

// "word/_rels/document.xml.rels" for "word/document.xml", "_rels/.rels" for the package itself ("").
QString relationshipsPartOf(const QString& partName);

// The inverse: "word/document.xml" for "word/_rels/document.xml.rels", "" for "_rels/.rels"; false when
// the name is no relationships part.
bool sourceOfRelationshipsPart(const QString& relationshipsPart, QString* source);

// The part name a relationship target of sourcePart points to: relative to the source's folder, or to the
// package root when it starts with "/"; a "#fragment" dropped, "." and ".." resolved, percent-escapes
// decoded when decodeEscapes is set. Empty when the target leaves the package.
QString resolveRelationshipTarget(const QString& sourcePart, const QString& target, bool decodeEscapes);

// The key under which part names compare (the package format treats them case-insensitively).
QString partKey(const QString& name);

} // namespace varnel::office
