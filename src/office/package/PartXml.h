#pragma once
// Parsing and writing one XML part so that a round trip keeps what the engines do not edit.
//
// pugixml's default flags normalise line ends and whitespace in attribute values and drop whitespace-only
// text, comments, processing instructions and the declaration. Parts are parsed with every node kind kept,
// without end-of-line or attribute normalisation, as a fragment (so whitespace around the root element, such
// as the CR LF after the declaration, survives), and are written back raw, in the encoding they came in
// (UTF-8 or UTF-16, with their byte-order mark if they had one). A document type declaration is refused:
// entity definitions are a way to smuggle content or blow up memory, and no Office part has one.
//
// What a round trip does change, all without changing the parsed content: character references and
// redundant escapes are written in one canonical form (&#9; becomes a tab in text, ">" becomes &gt;),
// control characters in attribute values are written as references (&#09; &#10; &#13;), an empty element
// is written as <a/> also when it was <a></a>, attributes get double quotes and whitespace inside tags is
// normalised.

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

namespace varnel::office {

struct PartXml {
    pugi::xml_document document;
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    bool byteOrderMark = false;
};

// Parses bytes into *part; false with a Chinese reason in *error (which names partName).
bool parsePartXml(const QString& partName, const QByteArray& bytes, PartXml* part, QString* error);

// Empty when the bytes are a part parsePartXml() would accept, else the reason (naming partName); checks
// without building a tree, for a part as written.
QString partXmlProblem(const QString& partName, const QByteArray& bytes);

// The part's bytes, re-serialised.
QByteArray serialisePartXml(const PartXml& part);

} // namespace varnel::office
