#include "cli/ExcelScopeCommand.h"

#include "cli/CliUserInterface.h"
#include "cli/ReplaceCommand.h"
#include "definitions/DictionaryLoader.h"
#include "tools/excelscope/ExcelScopeRun.h"

#include <optional>

namespace varnel::cli {

namespace {

using excelscope::ExcelScopeOptions;
using excelscope::SheetCondition;

const QStringList kFolderTypes = {QStringLiteral(".xls"), QStringLiteral(".xlsx"), QStringLiteral(".xlsm")};

// "2-100" or "C-E" as its two texts; nullopt unless both are there.
std::optional<std::pair<QString, QString>> bounds(const QString& value)
{
    const QStringList parts = value.split(u'-');
    if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty())
        return std::nullopt;
    return std::pair{parts[0], parts[1]};
}

// "active", or a condition and its text ("contains:data"); false when the kind is unknown.
bool readSheetCondition(const QString& value, ExcelScopeOptions* options)
{
    static const QList<std::pair<QString, SheetCondition>> kinds = {
        {QStringLiteral("eq:"), SheetCondition::Equals},
        {QStringLiteral("contains:"), SheetCondition::Contains},
        {QStringLiteral("ne:"), SheetCondition::NotEquals},
        {QStringLiteral("not-contains:"), SheetCondition::NotContains},
    };
    options->sheetScope = true;
    if (value == u"active") {
        options->sheetCondition = SheetCondition::Active;
        options->sheetText.clear();
        return true;
    }
    for (const auto& [prefix, condition] : kinds) {
        if (value.startsWith(prefix)) {
            options->sheetCondition = condition;
            options->sheetText = value.mid(prefix.size());
            return true;
        }
    }
    return false;
}

} // namespace

ExcelScopeCommand::ExcelScopeCommand(QTextStream& out, QTextStream& err)
    : ToolCommand(out, err, QStringLiteral("excel-scope"), help())
{
}

QString ExcelScopeCommand::help()
{
    return QStringLiteral(
        "用法 / usage: varnel-cli excel-scope -x 替换定义.xlsx [选项] 路径...\n"
        "Excel工作簿限范围替换：替换定义工作簿活动工作表的 A 列为查找内容、B 列为替换内容（长的先替换），只在限定的\n"
        "行、列和工作表内替换。路径为文件或文件夹（加入其中的 .xls .xlsx .xlsm）。\n"
        "Replaces in Excel workbooks only within the rows, columns and worksheets given.\n"
        "\n"
        "  -x FILE                替换定义Excel文件 (the dictionary workbook)\n"
        "  --rows 2-100           限定替换行范围 (rows, as whole numbers)\n"
        "  --columns C-E          限定替换列范围 (columns, as letters)\n"
        "  --sheet active         只替换活动工作表 (only the active sheet)\n"
        "  --sheet eq:名称        工作表名等于 (the sheet named so, letter case ignored)\n"
        "  --sheet contains:文字  工作表名包含 (sheets whose name contains the text)\n"
        "  --sheet ne:名称        工作表名不等于\n"
        "  --sheet not-contains:文字  工作表名不包含\n"
        "  --match-case           区分大小写（全角半角）(default)\n"
        "  --ignore-case          不区分大小写（全角半角）\n"
        "  --whole-cell           替换Excel文档时单元格匹配\n"
        "  --xls-wildcards        使用通配符替换Excel文档 (? * ~)\n"
        "  --sheet-names          替换Excel文档中工作表名称\n"
        "  --xls-headers          替换Excel文档页眉页脚\n"
        "  -R                     包括子文件夹 (also subfolders)\n"
        "退出状态 / exit status: 0 完成且无异常, 1 有工作簿未能处理, 2 用法错误、范围无效或替换定义不可用\n");
}

int ExcelScopeCommand::execute(const QStringList& args)
{
    ExcelScopeOptions options;
    QString dictionary;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-x" || arg == u"--rows" || arg == u"--columns" || arg == u"--sheet") {
            QString value;
            if (!takeValue(args, &i, &value))
                return ExitUsage;
            if (arg == u"-x") {
                dictionary = value;
            } else if (arg == u"--sheet") {
                if (!readSheetCondition(value, &options))
                    return usageError(QStringLiteral("--sheet 只能是 active、eq:名称、contains:文字、ne:名称 或 not-contains:文字：%1").arg(value));
                if (options.sheetCondition != SheetCondition::Active && options.sheetText.trimmed().isEmpty())
                    return usageError(QStringLiteral("请输入工作表范围条件！"));
            } else if (const auto range = bounds(value); !range) {
                return usageError(arg == u"--rows" ? QStringLiteral("请输入数字行号！（如 --rows 2-100）")
                                                   : QStringLiteral("请输入字母列号！（如 --columns C-E）"));
            } else if (arg == u"--rows") {
                options.rowScope = true;
                std::tie(options.firstRow, options.lastRow) = *range;
            } else {
                options.columnScope = true;
                std::tie(options.firstColumn, options.lastColumn) = *range;
            }
        } else if (arg == u"--match-case" || arg == u"--ignore-case") {
            options.matchCase = arg == u"--match-case";
        } else if (arg == u"--whole-cell") {
            options.wholeCell = true;
        } else if (arg == u"--xls-wildcards") {
            options.wildcards = true;
        } else if (arg == u"--sheet-names") {
            options.sheetNames = true;
        } else if (arg == u"--xls-headers") {
            options.pageHeaders = true;
        } else if (const std::optional<int> status = takeCommon(arg)) {
            return *status;
        }
    }
    if (dictionary.trimmed().isEmpty())
        return usageError(QStringLiteral("请输入替换定义Excel文件！（-x 替换定义.xlsx）"));

    const std::optional<QStringList> files = this->files(kFolderTypes);
    if (!files)
        return ExitUsage;
    if (files->isEmpty())
        return usageError(QStringLiteral("没有需要处理的文档！"));

    CliUserInterface ui(m_out, m_err);
    excelscope::ExcelScopeRun run(options, ui);
    run.setDefinitionCount([this](int count) { m_out << dictionaryCountText(count) << Qt::endl; });
    const excelscope::ExcelScopeSummary summary = run.run(dictionary, *files);
    if (summary.definitions == 0)
        return ExitUsage;
    m_out << QStringLiteral("已处理 %1 个工作簿，修改 %2 个，%3 个未能处理").arg(summary.files).arg(summary.changed).arg(summary.failed)
          << Qt::endl;
    return summary.failed > 0 ? ExitFailures : ExitOk;
}

} // namespace varnel::cli
