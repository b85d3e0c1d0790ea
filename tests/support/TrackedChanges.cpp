#include "support/TrackedChanges.h"

#include "support/LibreOffice.h"

#include <QHash>
#include <QXmlStreamReader>

namespace varnel::test {

namespace {

enum class Change { Insertion, Deletion, Other };

// The kind of every changed region, by id, and the text a deletion stored apart from the body keeps.
struct Regions {
    QHash<QString, Change> kinds;
    QHash<QString, QString> deletedText;
};

Regions readRegions(const QByteArray& fodt, QStringList* authors)
{
    Regions regions;
    QXmlStreamReader xml(fodt);
    QString id;
    int paragraphs = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.name();
        if (xml.isStartElement() && name == u"changed-region") {
            id = xml.attributes().value(QLatin1StringView("text:id")).toString();
        } else if (xml.isStartElement() && !id.isEmpty() && (name == u"insertion" || name == u"deletion")) {
            regions.kinds[id] = name == u"insertion" ? Change::Insertion : Change::Deletion;
        } else if (xml.isStartElement() && !id.isEmpty() && name == u"creator" && authors) {
            authors->append(xml.readElementText());
        } else if (xml.isStartElement() && !id.isEmpty() && name == u"p") {
            if (paragraphs++ > 0)
                regions.deletedText[id] += u'|';
        } else if (xml.isCharacters() && !id.isEmpty() && paragraphs > 0) {
            regions.deletedText[id] += xml.text();
        } else if (xml.isEndElement() && name == u"changed-region") {
            id.clear();
            paragraphs = 0;
        }
    }
    return regions;
}

} // namespace

QString fodtText(const QByteArray& fodt, bool accept, QStringList* authors)
{
    const Regions regions = readRegions(fodt, authors);
    const Change dropped = accept ? Change::Deletion : Change::Insertion;
    QXmlStreamReader xml(fodt);
    QString text;
    bool inBody = false;
    int skipped = 0; // depth inside text:tracked-changes, which is not body text
    int dropping = 0; // open changes whose text goes away
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.name();
        if (xml.isStartElement()) {
            const QString id = xml.attributes().value(QLatin1StringView("text:change-id")).toString();
            if (name == u"text")
                inBody = true;
            else if (name == u"tracked-changes")
                ++skipped;
            else if (name == u"change-start" && regions.kinds.value(id, Change::Other) == dropped)
                ++dropping;
            else if (name == u"change-end" && regions.kinds.value(id, Change::Other) == dropped)
                --dropping;
            else if (name == u"change" && !accept && skipped == 0)
                text += regions.deletedText.value(id);
            else if (name == u"s" && inBody && skipped == 0 && dropping == 0)
                text += u' ';
            else if (name == u"tab" && inBody && skipped == 0 && dropping == 0)
                text += u'\t';
        } else if (xml.isEndElement()) {
            if (name == u"tracked-changes")
                --skipped;
            else if ((name == u"p" || name == u"h") && inBody && skipped == 0 && dropping == 0)
                text += u'|';
        } else if (xml.isCharacters() && inBody && skipped == 0 && dropping == 0) {
            // The export is indented: white space with a line end lies between elements, not in the text.
            if (!(xml.isWhitespace() && xml.text().contains(u'\n')))
                text += xml.text();
        }
    }
    return text;
}

QByteArray fodtByLibreOffice(const QString& path)
{
    return convertByLibreOffice(path, QStringLiteral("fodt"), QStringLiteral("fodt"));
}

} // namespace varnel::test
