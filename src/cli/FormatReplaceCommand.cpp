#include "cli/FormatReplaceCommand.h"

#include "cli/ReplaceCommand.h"
#include "core/ProcessLog.h"
#include "tools/formatreplace/FormatReplaceRun.h"

namespace varnel::cli {

using formatreplace::FormatDefinitionTable;

FormatReplaceCommand::FormatReplaceCommand(QTextStream& out, QTextStream& err)
    : ToolCommand(out, err, QStringLiteral("format-replace"), help())
{
}

QString FormatReplaceCommand::help()
{
    return QStringLiteral(
        "用法 / usage: varnel-cli format-replace --table 定义文档.docx [选项] 路径...\n"
        "Word文档带格式替换：定义文档第一个表格的每一行（首行为标题），第 1 列为查找内容，第 2 列的带格式内容\n"
        "（文字格式、段落、超链接、图片）替换每一处匹配。路径为文件或文件夹（加入其中的 .doc .docx .rtf）。\n"
        "Replaces every match in Word documents by the formatted content of column 2 of the definition table.\n"
        "\n"
        "  --table FILE           替换定义文档 (the Word document holding the definition table)\n"
        "  --only-first           只替换文档中第一个匹配项 (only the first match in each document)\n"
        "  --match-case           区分大小写\n"
        "  --whole-word           全字匹配（英文和数字），查找内容去掉首尾空格\n"
        "  --wildcards            使用通配符\n"
        "  -R                     包括子文件夹 (also subfolders)\n"
        "  --log FILE             日志文件 (default: Varnel.log on the desktop)\n"
        "退出状态 / exit status: 0 完成且无异常, 1 有异常记入日志, 2 用法错误或定义文档不可用\n");
}

int FormatReplaceCommand::execute(const QStringList& args)
{
    formatreplace::FormatReplaceOptions options;
    QString table;
    QString logPath = ProcessLog::startupPath();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--table" || arg == u"--log") {
            if (!takeValue(args, &i, arg == u"--table" ? &table : &logPath))
                return ExitUsage;
        } else if (arg == u"--only-first") {
            options.onlyFirst = true;
        } else if (arg == u"--match-case") {
            options.matchCase = true;
        } else if (arg == u"--whole-word") {
            options.wholeWord = true;
        } else if (arg == u"--wildcards") {
            options.wildcards = true;
        } else if (const std::optional<int> status = takeCommon(arg)) {
            return *status;
        }
    }
    if (table.isEmpty())
        return usageError(QStringLiteral("请用 --table 指定已设置好替换定义表格的Word文件"));

    const QStringList extensions{QStringLiteral(".doc"), QStringLiteral(".docx"), QStringLiteral(".rtf")};
    const std::optional<QStringList> files = this->files(extensions);
    if (!files)
        return ExitUsage;
    if (files->isEmpty())
        return usageError(QStringLiteral("没有需要处理的文档！"));

    FormatDefinitionTable::Status status;
    QString error;
    auto definitions = FormatDefinitionTable::open(table, &status, &error);
    switch (status) {
    case FormatDefinitionTable::Status::Ok: break;
    case FormatDefinitionTable::Status::Unreadable:
        return usageError(QStringLiteral("不能读取替换定义文档“%1”：%2").arg(table, error));
    case FormatDefinitionTable::Status::NoTable:
        return usageError(QStringLiteral("替换定义需要以表格形式放在Word文档中！请从新设置替换定义文档。"));
    case FormatDefinitionTable::Status::OneColumn:
        return usageError(QStringLiteral("替换定义需要以两列表格形式放在Word文档中！请从新设置替换定义文档。"));
    }

    const ProcessLog log(logPath);
    formatreplace::FormatReplaceRun run(*definitions, options, log);
    const formatreplace::FormatReplaceSummary summary = run.run(*files);
    m_out << formatreplace::FormatReplaceRun::summaryText(summary) << Qt::endl;
    if (summary.failures)
        m_out << QStringLiteral("日志文件记录了处理过程中发生的异常：") << log.path() << Qt::endl;
    return summary.failures ? ExitFailures : ExitOk;
}

} // namespace varnel::cli
