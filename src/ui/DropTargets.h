#pragma once
// Widgets that take files dropped from the file manager and hand over their local paths. Anything that
// is not a list of local files is refused at the border.

#include <QLineEdit>
#include <QTreeView>

namespace varnel::ui {

// The local files a drop carries; empty when it carries none.
QStringList droppedFiles(const QMimeData* mime);

class FileDropTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit FileDropTreeView(QWidget* parent = nullptr);

signals:
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class FileDropLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit FileDropLineEdit(QWidget* parent = nullptr);

signals:
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace varnel::ui
