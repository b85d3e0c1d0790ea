#pragma once
// One batch run, from the input checks to the summary: the start button's click without the window.
// The run checks its inputs (and opens the dialog that fixes a failed check), asks once per unknown
// extension whether to go on, builds the definitions (longest first on request), hands every file to the
// engine of its type, renames it on request, writes the processing log and ends with the summary.
// Engines never raise: their failures come back as values, are logged, and the run goes on.

#include "core/DocumentEngine.h"
#include "core/ProcessLog.h"
#include "core/ReplacePair.h"
#include "core/UserInterface.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace varnel {

enum class DefinitionSource { List, Dictionary };

struct RunSetup {
    QStringList files;                 // the file list, first to last; renamed rows are updated in place
    DefinitionSource source = DefinitionSource::List;
    ReplacePairs definitions;          // rows of the definition list (List source)
    QString dictionaryPath;            // the definition workbook (Dictionary source)
    QString logPath;
    LogMode logMode = LogMode::Failures;
    bool dryRun = false;               // report what would change; write, rename and log nothing
    QString password;                  // the open password of encrypted documents; empty for none
};

// What happened to one row of the file list.
struct FileReport {
    int row = 0;          // 1-based
    QString path;         // the path the row had when it was processed
    DocumentKind kind = DocumentKind::Text;
    bool changed = false;
    int replacements = 0;
    QString renamedTo;    // new path when the file was renamed
    QString error;        // failures logged for this file, joined by "; "
};

struct RunOutcome {
    enum class Status {
        Completed,   // every row was processed
        CheckFailed, // an input check failed; nothing changed
        Stopped,     // the user stopped at the unknown-extension question; nothing changed
    };
    Status status = Status::CheckFailed;
    int rows = 0;
    std::array<int, 4> changed{}; // Word, Excel, PowerPoint, text
    int renamed = 0;
    bool exceptionLogged = false; // a file failed (logged, except in a dry run, which logs nothing)
    QString summary;              // the summary message, empty unless completed
};

// The summary message: "替换完毕！" CR LF "共 N 个文件， T 个（…）发生了内容替换。" [CR LF "R 个文件修改了文件名。"]
QString summaryText(int rows, const std::array<int, 4>& changed, bool withRenames, int renamed);

// The question at the end of a run that logged a failure: "日志文件记录了处理过程中发生的异常，" CR LF
// "是否查看日志文件？" (OK and Cancel, OK by default); OK opens the log in the text editor.
void offerLog(UserInterface& ui, const QString& logPath);

// The pairs in the order the longest-first option gives (the exchange procedure of the run, so pairs of
// equal length end up exactly where that procedure puts them).
void sortLongestFirst(QStringList& findTexts, QStringList& replaceTexts);

// The extensions a run knows without asking; others get the unknown-extension question once per run.
const QStringList& knownRunExtensions();

class BatchRun : public QObject
{
    Q_OBJECT
public:
    // Loads the definitions of a workbook (Dictionary source); shows its own messages and returns
    // nullopt or an empty list when there are none.
    using DictionaryLoader = std::function<std::optional<ReplacePairs>(const QString& path, UserInterface& ui)>;
    // The options as they are now: read for every file, so a change during a run affects the files to come.
    using OptionsSource = std::function<ReplaceOptions()>;

    BatchRun(const EngineRegistry& engines, UserInterface& ui, OptionsSource options, QObject* parent = nullptr);

    void setDictionaryLoader(DictionaryLoader loader) { m_dictionaryLoader = std::move(loader); }

    RunOutcome run(RunSetup& setup);

    // The run's definitions after the last run (FindTexts and ReplaceTexts).
    const QStringList& findTexts() const { return m_findTexts; }
    const QStringList& replaceTexts() const { return m_replaceTexts; }

signals:
    // The controls a run locks (start button, definition source, log path) are locked or free again.
    void busyChanged(bool busy);
    void fileStarted(int row, const QString& path);
    void fileFinished(const varnel::FileReport& report);

private:
    bool checkInputs(const RunSetup& setup);
    bool confirmExtensions(const QStringList& files);
    bool buildDefinitions(const RunSetup& setup);
    FileReport processFile(int row, const QString& path, const RunSetup& setup, const ProcessLog& log,
                           bool& exceptionLogged);
    EngineResult runEngine(DocumentKind kind, const QString& path, const EngineRequest& request);

    const EngineRegistry& m_engines;
    UserInterface& m_ui;
    OptionsSource m_options;
    DictionaryLoader m_dictionaryLoader;
    QStringList m_findTexts;
    QStringList m_replaceTexts;
};

} // namespace varnel
