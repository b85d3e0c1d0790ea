#include "ui/FileDialog.h"

#include <QFileDialog>

namespace varnel::ui {

namespace {

struct TestState {
    bool on = false;
    QList<FileDialog::Choice> choices;
    QStringList folders;
    QList<FileDialog::Request> requests;
};

TestState& testState()
{
    static TestState state;
    return state;
}

FileDialog::Choice nextTestChoice(const FileDialog::Request& request)
{
    TestState& state = testState();
    state.requests.append(request);
    return state.choices.isEmpty() ? FileDialog::Choice{} : state.choices.takeFirst();
}

FileDialog::Choice runDialog(QFileDialog& dialog, const QString& filter)
{
    const QStringList filters = FileDialog::qtNameFilters(filter);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    FileDialog::Choice choice;
    if (dialog.exec() != QDialog::Accepted)
        return choice;
    choice.files = dialog.selectedFiles();
    const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
    choice.filterIndex = index < 0 ? 1 : static_cast<int>(index) + 1;
    return choice;
}

} // namespace

FileDialog::Choice FileDialog::open(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter, bool multiple)
{
    if (testState().on)
        return nextTestChoice({multiple ? Kind::OpenMany : Kind::Open, title, folder, {}, filter});
    QFileDialog dialog(parent, title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    return runDialog(dialog, filter);
}

FileDialog::Choice FileDialog::save(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& fileName, const QString& filter, bool confirmOverwrite)
{
    if (testState().on)
        return nextTestChoice({Kind::Save, title, folder, fileName, filter});
    QFileDialog dialog(parent, title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    return runDialog(dialog, filter);
}

QString FileDialog::directory(QWidget* parent, const QString& title, const QString& folder)
{
    TestState& state = testState();
    if (state.on) {
        state.requests.append({Kind::Directory, title, folder, {}, {}});
        return state.folders.isEmpty() ? QString() : state.folders.takeFirst();
    }
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

QStringList FileDialog::qtNameFilters(const QString& filter)
{
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            // "*.*" means all files; Qt's "*" also matches names without a dot.
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        }
        filters.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

void FileDialog::setTestMode(bool on)
{
    testState() = {};
    testState().on = on;
}

void FileDialog::setNextFileNames(const QStringList& files, int filterIndex)
{
    testState().choices.append({files, filterIndex});
}

void FileDialog::setNextDirectory(const QString& folder)
{
    testState().folders.append(folder);
}

const QList<FileDialog::Request>& FileDialog::requests()
{
    return testState().requests;
}

} // namespace varnel::ui
