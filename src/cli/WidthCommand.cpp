#include "cli/WidthCommand.h"

#include "cli/CliUserInterface.h"
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
    : ToolCommand(out, err, QStringLiteral("width"), help())
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
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--mode" || arg == u"--log") {
            QString value;
            if (!takeValue(args, &i, &value))
                return ExitUsage;
            if (arg == u"--log") {
                logPath = value;
            } else if (!(mode = modeNamed(value))) {
                return usageError(QStringLiteral("--mode 只能是 half、full 或 punct：%1").arg(value));
            }
        } else if (const std::optional<int> status = takeCommon(arg)) {
            return *status;
        }
    }
    if (!mode)
        return usageError(QStringLiteral("没有给出 --mode"));
    if (paths().isEmpty())
        return usageError(QStringLiteral("没有给出要处理的文件或文件夹"));

    const std::optional<QStringList> files = this->files(kFolderTypes);
    if (!files)
        return ExitUsage;

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

} // namespace varnel::cli
