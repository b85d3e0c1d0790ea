#pragma once
// The text of a saved .docx read back with the engine's own reader, story by story.

#include "office/docx/DocxDocument.h"
#include "office/docx/WordStoryText.h"

#include <gtest/gtest.h>

#include <map>

namespace varnel::test {

// The text of each kind of story of a saved .docx, read back with the engine's own reader; the w:t of
// every run that shows "bold" text is collected by its text.
struct DocxTexts {
    std::map<office::WordStory::Kind, QString> stories;
    QStringList boldTexts;
};

inline DocxTexts readDocx(const QString& path)
{
    DocxTexts texts;
    QString error;
    const auto document = office::DocxDocument::open(path, &error);
    EXPECT_TRUE(document) << error.toStdString();
    if (!document)
        return texts;
    for (const office::WordStory& story : document->stories()) {
        if (story.shadow)
            continue;
        const office::WordStoryText text(document->names(story.part), story.container);
        for (const auto& segment : text.segments()) {
            texts.stories[story.kind] += segment.text + u'|';
            for (const auto& piece : segment.pieces) {
                const pugi::xml_node rPr = piece.node.parent().child("w:rPr");
                if (piece.kind == office::WordAtom::Text && rPr.child("w:b"))
                    texts.boldTexts.append(QString::fromUtf8(piece.node.text().get()));
            }
        }
    }
    return texts;
}

} // namespace varnel::test
