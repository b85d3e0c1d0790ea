#include "core/AllocatorTuning.h"
#include "cli/ExcelScopeCommand.h"
#include "cli/FormatReplaceCommand.h"
#include "cli/ReplaceCommand.h"
#include "cli/WidthCommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    varnel::tuneAllocatorForBatches();
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("5.45"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == u"replace") {
        varnel::cli::ReplaceCommand replace(out, err);
        return replace.execute(args);
    }
    if (command == u"width") {
        varnel::cli::WidthCommand width(out, err);
        return width.execute(args);
    }
    if (command == u"format-replace") {
        varnel::cli::FormatReplaceCommand formatReplace(out, err);
        return formatReplace.execute(args);
    }
    if (command == u"excel-scope") {
        varnel::cli::ExcelScopeCommand excelScope(out, err);
        return excelScope.execute(args);
    }
    if (command == u"--version") {
        out << QStringLiteral("Varnel - 5.45") << Qt::endl;
        return 0;
    }
    if (command.isEmpty() || command == u"-h" || command == u"--help" || command == u"help") {
        out << varnel::cli::ReplaceCommand::help() << u'\n' << varnel::cli::WidthCommand::help() << u'\n'
            << varnel::cli::FormatReplaceCommand::help() << u'\n' << varnel::cli::ExcelScopeCommand::help();
        return command.isEmpty() ? varnel::cli::ExitUsage : 0;
    }
    err << QStringLiteral("varnel-cli: 未知命令：") << command << QStringLiteral("（可用命令：replace、width、format-replace、excel-scope）")
        << Qt::endl;
    return varnel::cli::ExitUsage;
}
