#pragma once
// Taking files dropped from the file manager. A FileDropFilter installed on a widget accepts drags that
// carry local files and hands over their paths; anything that is not a list of local files is refused
// at the border.

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace varnel::ui {

// The local files a drop carries; empty when it carries none.
QStringList droppedFiles(const QMimeData* mime);

class FileDropFilter : public QObject
{
    Q_OBJECT
public:
    // Makes target accept file drops; for a list or other scroll area pass its viewport. The filter
    // belongs to the target.
    static FileDropFilter* install(QWidget* target);

signals:
    void filesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace varnel::ui
