#pragma once
// Every file and folder dialog of the program goes through here. Filters are written as
// "description|patterns|description|patterns...", patterns separated by ";", and the chosen filter comes
// back as a 1-based index, so a command can decide the format by the filter the user picked. Tests switch
// on test mode: no dialog is shown, each request is recorded, and the answer is the next one queued with
// setNextFileNames / setNextDirectory, or a cancel when none is queued.

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace varnel::ui {

class FileDialog
{
public:
    enum class Kind { Open, OpenMany, Save, Directory };

    struct Request {
        Kind kind;
        QString title;
        QString folder;
        QString fileName;
        QString filter;
    };

    // The files chosen (none when cancelled) and the 1-based index of the filter in use.
    struct Choice {
        QStringList files;
        int filterIndex = 1;
        bool cancelled() const { return files.isEmpty(); }
        QString file() const { return files.value(0); }
    };

    // An open dialog for existing files; `multiple` lets several be chosen.
    static Choice open(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                       bool multiple = false);
    // A save dialog starting with fileName in folder; asks before replacing a file when confirmOverwrite.
    static Choice save(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                       const QString& filter, bool confirmOverwrite);
    // A folder browser; empty when cancelled.
    static QString directory(QWidget* parent, const QString& title, const QString& folder);

    // The filter as Qt name filters: "description (pattern pattern)". Shown with the details hidden, each
    // entry reads exactly as its description.
    static QStringList qtNameFilters(const QString& filter);

    // Switches test mode on or off, forgetting queued answers and recorded requests.
    static void setTestMode(bool on);
    static void setNextFileNames(const QStringList& files, int filterIndex = 1);
    static void setNextFileName(const QString& file, int filterIndex = 1) { setNextFileNames({file}, filterIndex); }
    static void setNextDirectory(const QString& folder);
    static const QList<Request>& requests();
};

} // namespace varnel::ui
