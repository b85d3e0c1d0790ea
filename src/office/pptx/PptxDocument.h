#pragma once
// A .pptx opened for replacement: its package, and the text ranges a replacement run visits, found once
// and in the order PowerPoint's object model gives them.
//
// Order: for each slide master of the presentation, the layouts it lists and then the master itself; then
// each slide in presentation order, followed by its notes page when notes are wanted. Within each part the
// shapes of its shape tree in order: a shape's own text, every cell of a table row by row, and the shapes of
// a group (nested groups included) as group items. Of markup-compatibility alternatives only the first
// choice is read, as an application that understands it shows it.

#include "office/package/OoxmlPackage.h"
#include "office/pptx/SlideTextRange.h"

#include <QSet>
#include <QString>

#include <memory>
#include <vector>

namespace varnel::office {

struct SlideTextBody {
    SlideTextRange range;
    bool groupItem = false; // the text of a shape inside a group
};

struct PresentationPart {
    enum class Kind { Layout, Master, Slide, Notes };
    Kind kind = Kind::Slide;
    QString name;
    std::vector<SlideTextBody> bodies;
};

class PptxDocument
{
public:
    // Opens and reads the package; nullptr with a message for the log when it cannot be used. Notes pages
    // are read only when withNotes is set.
    static std::unique_ptr<PptxDocument> open(const QString& path, bool withNotes, QString* error,
                                              const QString& password = QString());

    std::vector<PresentationPart>& parts() { return m_parts; }

    void markChanged(const QString& part) { m_package->markChanged(part); }
    // Writes the changed parts back over the file; false with a message, the file untouched.
    bool save(QString* error) { return m_package->save(error); }

private:
    PptxDocument() = default;
    bool load(bool withNotes, QString* error);
    // The parts the relationships of `part` name by the r:id attributes of the children of `list`.
    QStringList targets(const QString& part, pugi::xml_node list, QString* error);
    bool addPart(PresentationPart::Kind kind, const QString& name, QString* error);

    std::unique_ptr<OoxmlPackage> m_package;
    std::vector<PresentationPart> m_parts;
    QSet<QString> m_seen;
};

} // namespace varnel::office
