#pragma once
// Reading and writing definition lists as files. Two formats exist:
//
// TAB text: one definition per line, find text, a TAB, replace text, lines ending in CR LF. Nothing is
// escaped, so a find or replace text holding a TAB or a line break does not survive the trip. Written in
// the system locale's encoding without a byte-order mark; read in UTF-16, UTF-8 or GB18030 (see
// decodeImportedText), whichever the bytes are.
//
// XML: <Replace><Item><Old>find</Old><New>replace</New></Item>...</Replace> in UTF-8 without a
// declaration. Reading goes by position, never by element name: every child of the root is one
// definition, its first child node gives the find text and its second (if any) the replace text.
//
// Every function reports failure as a value; *error (when given) then holds a message naming the file.

#include "core/ReplacePair.h"

#include <QString>

#include <optional>

namespace varnel {

// Writes the list as a TAB text file, replacing any file at path.
bool writeTabDefinitions(const QString& path, const ReplacePairs& pairs, QString* error = nullptr);
// The definitions of a TAB text file. Lines without a TAB are skipped, fields after the second are
// dropped, and reading stops at the first empty line. nullopt when the file cannot be read.
std::optional<ReplacePairs> readTabDefinitions(const QString& path, QString* error = nullptr);

// Writes the list as an XML file, replacing any file at path.
bool writeXmlDefinitions(const QString& path, const ReplacePairs& pairs, QString* error = nullptr);
// The definitions of an XML file, read by position. nullopt when the file cannot be read or parsed.
std::optional<ReplacePairs> readXmlDefinitions(const QString& path, QString* error = nullptr);

// Reads an XML file when the name ends in ".xml" (any case), otherwise a TAB text file.
std::optional<ReplacePairs> readDefinitionFile(const QString& path, QString* error = nullptr);

// The TAB text and XML forms themselves, for callers that hold the bytes already.
QByteArray tabDefinitionBytes(const ReplacePairs& pairs);
ReplacePairs parseTabDefinitions(const QByteArray& bytes);
QByteArray xmlDefinitionBytes(const ReplacePairs& pairs);
std::optional<ReplacePairs> parseXmlDefinitions(const QByteArray& bytes, QString* error = nullptr);

} // namespace varnel
