#pragma once
// The checks a part's XML must pass before pugixml parses it.
//
// pugixml is fast because it does not validate: it cuts a text at "&#0;", writes "&#xD800;" as invalid
// UTF-8, keeps "&nbsp;" as literal text and lets duplicate attributes and invalid UTF-8 through, so a part
// rewritten from such a tree silently loses or corrupts text. Nesting depth is unbounded, and every walk
// that recurses over the tree (ours, and pugixml's own node removal) would overflow the stack on a part
// nested tens of thousands of elements deep. This scan refuses all of that up front, in one linear pass
// over the bytes, so that the tree the engines get is the document's true content and bounded in depth.
// What pugixml does check itself (matching end tags, one root, names) is left to it when it builds the
// tree; xmlDocumentProblem() checks that as well, for bytes that are not parsed.

#include <QByteArrayView>
#include <QString>

namespace varnel::office {

// Deeper element nesting is refused. Real documents stay far below it (a table nested in a table adds
// three levels); the engines' walks are tested at this depth.
constexpr int kMaxXmlElementDepth = 2000;

// Empty when the UTF-8 text (without a byte-order mark) is well-formed in the respects above; otherwise a
// Chinese reason naming the byte offset. Refuses a document type declaration too.
QString xmlWellFormednessProblem(QByteArrayView utf8);

// The same and what pugixml checks when it builds a tree: every end tag closes the element open, names are
// names, one root element with nothing but white space, comments and processing instructions around it,
// the XML declaration only at the start. For bytes that are checked but not parsed into a tree: a part as
// written, before it replaces the file.
QString xmlDocumentProblem(QByteArrayView utf8);

} // namespace varnel::office
