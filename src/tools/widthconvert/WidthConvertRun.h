#pragma once
// One run of the converter over its file list: every text file (.txt, in any letter case) through the
// text file routines, every other file as a Word document (.docx and .rtf edited natively, .doc through
// LibreOffice, each by what the file holds), main text only. A document that fails gets one line in the
// log, "处理[" path "]异常错误：" description, and the run goes on with the next. At the end the run
// shows "替换完毕！" and, when a document failed, offers the log.

#include "core/UserInterface.h"
#include "tools/widthconvert/WidthText.h"

#include <QObject>
#include <QStringList>

namespace varnel::widthconvert {

struct WidthRunSetup {
    QStringList files;   // full paths, in list order
    WidthMode mode = WidthMode::ToHalfWidth;
    QString logPath;     // the log the failures are appended to
};

struct WidthRunOutcome {
    enum class Status {
        NoFiles,   // the list was empty: nothing done
        NoLogPath, // no log file named: the log dialog was opened, nothing converted
        Completed,
    };
    Status status = Status::NoFiles;
    int converted = 0; // documents whose content changed
    int failed = 0;    // documents that got a log line
};

class WidthConvertRun : public QObject
{
    Q_OBJECT

public:
    explicit WidthConvertRun(UserInterface& ui, QObject* parent = nullptr);

    WidthRunOutcome run(const WidthRunSetup& setup);

    // The log line of a failed document, without the time stamp in front and the line end.
    static QString logLine(const QString& path, const QString& description);

signals:
    // Document row (1-based) is about to be converted.
    void fileStarted(int row, const QString& path);

private:
    // The description of the document's failure; empty when it converted (or needed no change).
    QString convertFile(int row, const QString& path, WidthMode mode, bool* changed);
    void WriteErrorLog(const QString& logPath, const QString& path, const QString& description) const;

    UserInterface& m_ui;
};

} // namespace varnel::widthconvert
