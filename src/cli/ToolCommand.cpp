#include "cli/ToolCommand.h"

#include "cli/PathArguments.h"
#include "cli/ReplaceCommand.h"

namespace varnel::cli {

ToolCommand::ToolCommand(QTextStream& out, QTextStream& err, const QString& name, const QString& help)
    : m_out(out)
    , m_err(err)
    , m_name(name)
    , m_help(help)
{
}

std::optional<int> ToolCommand::takeCommon(const QString& arg)
{
    if (arg == u"-h" || arg == u"--help") {
        m_out << m_help;
        return ExitOk;
    }
    if (arg == u"-R")
        m_recursive = true;
    else if (arg.startsWith(u'-') && arg.size() > 1)
        return usageError(QStringLiteral("未知选项：%1").arg(arg));
    else
        m_paths.append(arg);
    return std::nullopt;
}

bool ToolCommand::takeValue(const QStringList& args, qsizetype* i, QString* value)
{
    if (*i + 1 >= args.size()) {
        usageError(QStringLiteral("选项 %1 需要一个值").arg(args[*i]));
        return false;
    }
    *value = args[++*i];
    return true;
}

std::optional<QStringList> ToolCommand::files(const QStringList& folderTypes)
{
    QString missing;
    std::optional<QStringList> found = filesOfPaths(m_paths, folderTypes, m_recursive, &missing);
    if (!found)
        usageError(QStringLiteral("找不到文件或文件夹：%1").arg(missing));
    return found;
}

int ToolCommand::usageError(const QString& message)
{
    m_err << QStringLiteral("varnel-cli %1: ").arg(m_name) << message << Qt::endl;
    return ExitUsage;
}

} // namespace varnel::cli
