#include "ui/DropTargets.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace varnel::ui {

namespace {

template<typename Event>
void acceptFiles(Event* event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace

QStringList droppedFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

FileDropTreeView::FileDropTreeView(QWidget* parent)
    : QTreeView(parent)
{
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void FileDropTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    acceptFiles(event);
}

void FileDropTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    acceptFiles(event);
}

void FileDropTreeView::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

FileDropLineEdit::FileDropLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setAcceptDrops(true);
}

void FileDropLineEdit::dragEnterEvent(QDragEnterEvent* event)
{
    acceptFiles(event);
}

void FileDropLineEdit::dragMoveEvent(QDragMoveEvent* event)
{
    acceptFiles(event);
}

void FileDropLineEdit::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

} // namespace varnel::ui
