#pragma once
// A formatted-replacement run over a list of Word documents: every definition of the table, in row order,
// applied to each file's main text; a file is written (through the package's verified save) only when
// something in it was replaced. .doc and .rtf files go through LibreOffice to .docx and back when it is
// installed, and get a log line otherwise. One failing definition or file never stops the run: the log gets
// the file's path and the reason, and the run goes on.

#include "core/ProcessLog.h"
#include "tools/formatreplace/FormatDefinitionTable.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace varnel::formatreplace {

struct FormatReplaceOptions {
    bool onlyFirst = false; // only the first occurrence of each definition in each document
    bool matchCase = false;
    bool wholeWord = false; // also trims the find texts
    bool wildcards = false;
};

struct FormatReplaceSummary {
    int files = 0;
    int changed = 0;
    bool failures = false; // something was logged
};

class FormatReplaceRun
{
public:
    FormatReplaceRun(FormatDefinitionTable& table, const FormatReplaceOptions& options, const ProcessLog& log);

    // Called with the 1-based number of each file before it is processed.
    void setProgress(std::function<void(int)> progress) { m_progress = std::move(progress); }

    FormatReplaceSummary run(const QStringList& files);
    // One file; true when it was changed and written.
    bool processFile(const QString& path);

    // The summary line the window shows and the command line prints.
    static QString summaryText(const FormatReplaceSummary& summary);

private:
    bool processPackage(const QString& path, const QString& logPath);
    bool processLegacy(const QString& path);
    void fail(const QString& path, const QString& description);

    FormatDefinitionTable& m_table;
    FormatReplaceOptions m_options;
    const ProcessLog& m_log;
    std::vector<FormatDefinition> m_definitions;
    std::function<void(int)> m_progress;
    bool m_failures = false;
};

} // namespace varnel::formatreplace
