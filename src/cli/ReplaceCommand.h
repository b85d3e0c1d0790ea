#pragma once
// `varnel-cli replace [options] PATH...`: the batch run without a window.

#include "core/BatchRun.h"

#include <QStringList>
#include <QTextStream>

#include <optional>

namespace varnel::cli {

// Exit statuses of the command line.
enum ExitStatus {
    ExitOk = 0,        // the run completed and logged nothing
    ExitFailures = 1,  // the run completed and logged failures
    ExitUsage = 2,     // bad usage or a failed input check; nothing changed
};

class ReplaceCommand
{
public:
    ReplaceCommand(QTextStream& out, QTextStream& err);

    // args are the arguments after "replace".
    int execute(const QStringList& args);

    static QString help();

private:
    struct Arguments {
        QStringList paths;
        ReplacePairs pairs;
        QString definitionFile;
        QString workbook;
        bool recursive = false;
        QStringList types;
        ReplaceOptions options;
        QString logPath;
        bool processLog = false;
        bool unknownAsText = false;
        bool overwrite = false;
        bool dryRun = false;
        QString password;    // --password: the open password of encrypted documents
        bool json = false;
        bool help = false;
    };

    std::optional<Arguments> parse(const QStringList& args);
    std::optional<QStringList> collectFiles(const Arguments& arguments);
    void printReport(const FileReport& report, bool json, bool dryRun);
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace varnel::cli
