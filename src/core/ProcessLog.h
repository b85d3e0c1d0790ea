#pragma once
// The processing log: a text file that only ever grows. Every line is appended through its own
// open-append-close, so the file is never held open and can be read or deleted between runs. Writing
// fails silently (a log that cannot be opened simply gets nothing): the log must never stop a run.
// Text is in the locale's encoding with CR LF line ends.

#include <QString>

namespace varnel {

enum class LogMode {
    Failures = 0, // "替换异常记录到文件：": failure lines only
    Process = 1,  // "替换过程记录到文件：": also the run header and one line per file
};

class ProcessLog
{
public:
    explicit ProcessLog(QString path = {});

    const QString& path() const { return m_path; }
    void setPath(const QString& path) { m_path = path; }

    // date-time TAB "处理" path "出错：" description CR LF
    void WriteLog(const QString& filePath, const QString& description) const;
    // date-time "，开始替换：" CR LF
    void writeRunHeader() const;
    // The file's path without a line end: a failure written while the file is processed continues it.
    void writeFileStart(const QString& filePath) const;
    // TAB "无替换" or "内容替换完成", CR LF
    void writeFileEnd(bool changed) const;

    // The local date and time as the log writes it, e.g. "2026/12/6 19:07:02".
    static QString timestamp();
    // The default log path: the desktop folder + "/Varnel.log", or the program's folder when there is
    // no desktop folder (the home folder when the program's folder is not writable).
    static QString startupPath();

private:
    void append(const QString& text) const;

    QString m_path;
};

} // namespace varnel
