#include "cli/WidthCommand.h"

#include "cli/CliUserInterface.h"
#include "cli/PathArguments.h"
#include "cli/ReplaceCommand.h"
#include "core/ProcessLog.h"
#include "tools/widthconvert/WidthConvertRun.h"

#include <optional>

namespace varnel::cli {

namespace {

using widthconvert::WidthMode;

std::optional<WidthMode> modeNamed(const QString& name)
{
    if (name == u"half")
        return WidthMode::ToHalfWidth;
    if (name == u"full")
        return WidthMode::ToFullWidth;
    if (name == u"punct")
        return WidthMode::PunctuationToFullWidth;
    return std::nullopt;
}

// The documents the converter handles: Word documents and text files.
const QStringList kFolderTypes = {QStringLiteral(".doc"), QStringLiteral(".docx"), QStringLiteral(".rtf"),
                                  QStringLiteral(".txt")};

} // namespace

WidthCommand::WidthCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

QString WidthCommand::help()
{
    return QStringLiteral(
        "用法 / usage: varnel-cli width --mode half|full|punct [选项] 路径...\n"
        "Word、Txt文档全角/半角替换：.txt 文件按其编码转换；其他文件作为Word文档，只转换正文（页眉页脚、文本框、"
        "脚注尾注不变）。路径为文件或文件夹；文件夹加入其中的 .doc .docx .rtf .txt 文件。\n"
        "Full-width/half-width conversion of Word documents (main text only) and text files.\n"
        "\n"
        "  --mode half            将文档中全部全角符号转为半角符号 (full width to half width)\n"
        "  --mode full            将文档中全部半角字符转为全角字符 (half width to full width)\n"
        "  --mode punct           将文档中半角标点符号替换为全角标点符号 (, ! ? ; : ' \" [ ] ( ) { })\n"
        "  -R                     包括子文件夹 (also subfolders)\n"
        "  --log FILE             日志文件 (default: Varnel.log on the desktop)\n"
        "退出状态 / exit status: 0 完成且无异常, 1 有异常记入日志, 2 用法错误\n");
}

int WidthCommand::execute(const QStringList& args)
{
    std::optional<WidthMode> mode;
    QString logPath = ProcessLog::startupPath();
    bool recursive = false;
    QStringList paths;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-h" || arg == u"--help") {
            m_out << help();
            return ExitOk;
        }
        if (arg == u"--mode" || arg == u"--log") {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("选项 %1 需要一个值").arg(arg));
            const QString value = args[++i];
            if (arg == u"--log") {
                logPath = value;
            } else if (!(mode = modeNamed(value))) {
                return usageError(QStringLiteral("--mode 只能是 half、full 或 punct：%1").arg(value));
            }
        } else if (arg == u"-R") {
            recursive = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return usageError(QStringLiteral("未知选项：%1").arg(arg));
        } else {
            paths.append(arg);
        }
    }
    if (!mode)
        return usageError(QStringLiteral("没有给出 --mode"));
    if (paths.isEmpty())
        return usageError(QStringLiteral("没有给出要处理的文件或文件夹"));

    QString missing;
    const std::optional<QStringList> files = filesOfPaths(paths, kFolderTypes, recursive, &missing);
    if (!files)
        return usageError(QStringLiteral("找不到文件或文件夹：%1").arg(missing));

    CliUserInterface ui(m_out, m_err);
    widthconvert::WidthConvertRun run(ui);
    const widthconvert::WidthRunOutcome outcome = run.run({*files, *mode, logPath});
    if (outcome.status == widthconvert::WidthRunOutcome::Status::Completed) {
        m_out << QStringLiteral("已转换 %1 个文件，%2 个文件出错").arg(outcome.converted).arg(outcome.failed);
        if (outcome.failed > 0)
            m_out << QStringLiteral("（见日志 %1）").arg(logPath);
        m_out << Qt::endl;
    }
    return outcome.failed > 0 ? ExitFailures : ExitOk;
}

int WidthCommand::usageError(const QString& message)
{
    m_err << QStringLiteral("varnel-cli width: ") << message << Qt::endl;
    return ExitUsage;
}

} // namespace varnel::cli
