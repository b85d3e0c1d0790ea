#include "cli/ReplaceCommand.h"

#include "cli/CliUserInterface.h"
#include "core/PathUtil.h"
#include "definitions/DefinitionFile.h"
#include "definitions/DictionaryLoader.h"
#include "filelist/FolderScan.h"
#include "office/OfficeEngines.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace varnel::cli {

namespace {

// Flags that set one option to a value.
struct OptionFlag {
    const char* flag;
    Option option;
    int value;
};

constexpr OptionFlag kOptionFlags[] = {
    {"--match-case", Option::MatchCase, 1},
    {"--ignore-case", Option::MatchCase, 0},
    {"--whole-word", Option::WholeWord, 1},
    {"--txt-whole-word", Option::TxtWholeWord, 1},
    {"--ppt-whole-word", Option::PPTWholeWord, 1},
    {"--word-wildcards", Option::MatchWildcards, 1},
    {"--xls-wildcards", Option::XlsWildcard, 1},
    {"--whole-cell", Option::WholeCell, 1},
    {"--sheet-names", Option::XlsSheetName, 1},
    {"--no-sheet-names", Option::XlsSheetName, 0},
    {"--xls-headers", Option::XlsPageHeader, 1},
    {"--word-textboxes", Option::WordTextBox, 1},
    {"--no-word-textboxes", Option::WordTextBox, 0},
    {"--word-headers", Option::HeaderFooter, 1},
    {"--no-word-headers", Option::HeaderFooter, 0},
    {"--hyperlinks", Option::HyperLink, 1},
    {"--notes", Option::Notepage, 1},
    {"--no-notes", Option::Notepage, 0},
    {"--rename", Option::Name, 1},
    {"--longest-first", Option::LongFirst, 1},
};

QString kindKey(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Word: return QStringLiteral("word");
    case DocumentKind::Excel: return QStringLiteral("excel");
    case DocumentKind::PowerPoint: return QStringLiteral("powerpoint");
    case DocumentKind::Pdf: return QStringLiteral("pdf");
    case DocumentKind::Text: break;
    }
    return QStringLiteral("text");
}

QString absolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

ReplaceCommand::ReplaceCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

QString ReplaceCommand::help()
{
    return QStringLiteral(
        "用法 / usage: varnel-cli replace [选项] 路径...\n"
        "在文件中批量查找替换。路径为文件或文件夹；文件夹加入其中扩展名已知的文件。\n"
        "Batch find-and-replace in files. PATH is a file or a folder (a folder adds its files of a known type).\n"
        "\n"
        "替换定义 / definitions:\n"
        "  -f TEXT -r TEXT        查找与替换，可重复，按顺序 (find/replace pair; -f alone replaces by nothing)\n"
        "  -d FILE                定义文件：TAB 分隔文本，或 .xml (definition file, TAB text or XML)\n"
        "  -x WORKBOOK            Excel 替换定义工作簿 (definition workbook)\n"
        "文件 / files:\n"
        "  -R                     包括子文件夹 (also subfolders)\n"
        "  --types .txt,.htm      只加入这些扩展名 (only these extensions from folders)\n"
        "选项 / options (默认为首次启动的设置 / first-start defaults):\n"
        "  --match-case | --ignore-case   区分大小写（全角半角）\n"
        "  --whole-word           替换Word文档时全字匹配（英文和数字）\n"
        "  --txt-whole-word       替换文本文件时全字匹配（英文和数字）\n"
        "  --ppt-whole-word       替换PowerPoint幻灯片文档时全字匹配\n"
        "  --word-wildcards       使用通配符替换Word文档 (needs match case)\n"
        "  --xls-wildcards        使用通配符替换Excel文档\n"
        "  --whole-cell           替换Excel文档时单元格匹配\n"
        "  --sheet-names | --no-sheet-names         替换Excel文档中工作表名称\n"
        "  --xls-headers          替换Excel文档页眉页脚\n"
        "  --word-textboxes | --no-word-textboxes   处理Word文档时替换文本框中的内容\n"
        "  --word-headers | --no-word-headers       替换Word文档的页眉页脚\n"
        "  --hyperlinks           替换Word文档中的超链接地址\n"
        "  --notes | --no-notes   替换PPT幻灯片备注页\n"
        "  --rename               替换文档文件名 (rename files by the definitions)\n"
        "  --longest-first        优先替换长的替换项目\n"
        "运行 / run:\n"
        "  --log FILE             日志文件 (default: Varnel.log on the desktop)\n"
        "  --process-log          记录替换过程 (log every file, not only failures)\n"
        "  --unknown-as-text      把未知格式的文件作为文本文件处理 (otherwise they stop the run)\n"
        "  --overwrite            改名时覆盖同名文件 (overwrite an existing file when renaming)\n"
        "  --dry-run              只报告将要发生的替换，不写任何文件 (write nothing)\n"
        "  --password TEXT        加密文档的打开密码 (open password of encrypted .docx/.xlsx/.xlsm/.pptx and -x)\n"
        "  --json                 每个文件输出一个 JSON 对象，最后输出汇总对象\n"
        "退出状态 / exit status: 0 完成且无异常, 1 有异常记入日志, 2 用法错误或输入检查未通过\n");
}

std::optional<ReplaceCommand::Arguments> ReplaceCommand::parse(const QStringList& args)
{
    Arguments a;
    OptionInterlock interlock(a.options);
    bool ignoreCase = false;
    bool pendingFind = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                usageError(QStringLiteral("选项 %1 需要一个值").arg(arg));
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == u"-h" || arg == u"--help") {
            a.help = true;
        } else if (arg == u"-f") {
            const auto v = value();
            if (!v)
                return std::nullopt;
            a.pairs.append({*v, QString()});
            pendingFind = true;
        } else if (arg == u"-r") {
            const auto v = value();
            if (!v)
                return std::nullopt;
            if (!pendingFind) {
                usageError(QStringLiteral("-r 必须跟在 -f 之后"));
                return std::nullopt;
            }
            a.pairs.last().replace = *v;
            pendingFind = false;
        } else if (arg == u"-d" || arg == u"-x" || arg == u"--log" || arg == u"--types" || arg == u"--password") {
            const auto v = value();
            if (!v)
                return std::nullopt;
            if (arg == u"-d")
                a.definitionFile = *v;
            else if (arg == u"-x")
                a.workbook = *v;
            else if (arg == u"--log")
                a.logPath = *v;
            else if (arg == u"--password")
                a.password = *v;
            else
                a.types = parseTypeList(*v);
        } else if (arg == u"-R") {
            a.recursive = true;
        } else if (arg == u"--process-log") {
            a.processLog = true;
        } else if (arg == u"--unknown-as-text") {
            a.unknownAsText = true;
        } else if (arg == u"--overwrite") {
            a.overwrite = true;
        } else if (arg == u"--dry-run") {
            a.dryRun = true;
        } else if (arg == u"--json") {
            a.json = true;
        } else if (arg == u"--") {
            a.paths += args.mid(i + 1);
            break;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            const auto flag = std::find_if(std::begin(kOptionFlags), std::end(kOptionFlags),
                                           [&](const OptionFlag& f) { return arg == QLatin1StringView(f.flag); });
            if (flag == std::end(kOptionFlags)) {
                usageError(QStringLiteral("未知选项：%1").arg(arg));
                return std::nullopt;
            }
            if (flag->option == Option::MatchCase && flag->value == 0)
                ignoreCase = true;
            interlock.assign(flag->option, flag->value);
        } else {
            a.paths.append(arg);
        }
    }
    if (a.help)
        return a;
    if (a.logPath.isNull())
        a.logPath = ProcessLog::startupPath();
    if (ignoreCase && a.options.value(Option::MatchWildcards) == 1) {
        usageError(QStringLiteral("--word-wildcards 需要区分大小写，不能与 --ignore-case 同用"));
        return std::nullopt;
    }
    const int sources = (a.pairs.isEmpty() ? 0 : 1) + (a.definitionFile.isEmpty() ? 0 : 1) + (a.workbook.isEmpty() ? 0 : 1);
    if (sources > 1) {
        usageError(QStringLiteral("-f/-r、-d 与 -x 只能选用一种"));
        return std::nullopt;
    }
    if (a.paths.isEmpty()) {
        usageError(QStringLiteral("没有给出要处理的文件或文件夹"));
        return std::nullopt;
    }
    return a;
}

std::optional<QStringList> ReplaceCommand::collectFiles(const Arguments& arguments)
{
    const QStringList extensions = arguments.types.isEmpty() ? knownExtensions() : arguments.types;
    QStringList files;
    auto add = [&files](const QString& path) {
        if (!ListContainsText(files, path))
            files.append(path);
    };
    for (const QString& path : arguments.paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            for (const QString& file : scanFolder(absolute(path), extensions, arguments.recursive))
                add(file);
        } else if (info.exists()) {
            add(absolute(path));
        } else {
            usageError(QStringLiteral("找不到文件或文件夹：%1").arg(path));
            return std::nullopt;
        }
    }
    return files;
}

int ReplaceCommand::execute(const QStringList& args)
{
    const auto arguments = parse(args);
    if (!arguments)
        return ExitUsage;
    if (arguments->help) {
        m_out << help();
        return ExitOk;
    }
    const auto files = collectFiles(*arguments);
    if (!files)
        return ExitUsage;

    RunSetup setup;
    setup.files = *files;
    setup.logPath = arguments->logPath;
    setup.logMode = arguments->processLog ? LogMode::Process : LogMode::Failures;
    setup.dryRun = arguments->dryRun;
    setup.password = arguments->password;
    if (!arguments->workbook.isEmpty()) {
        setup.source = DefinitionSource::Dictionary;
        setup.dictionaryPath = arguments->workbook;
    } else if (!arguments->definitionFile.isEmpty()) {
        QString error;
        const auto pairs = readDefinitionFile(arguments->definitionFile, &error);
        if (!pairs)
            return usageError(QStringLiteral("不能读取定义文件“%1”：%2").arg(arguments->definitionFile, error));
        setup.definitions = *pairs;
    } else {
        setup.definitions = arguments->pairs;
    }

    CliUserInterface ui(m_out, m_err);
    ui.setUnknownAsText(arguments->unknownAsText);
    ui.setOverwrite(arguments->overwrite);
    ui.setQuietSummary(arguments->json);
    EngineRegistry engines;
    registerOfficeEngines(engines);
    BatchRun run(engines, ui, [options = arguments->options] { return options; });
    run.setDictionaryLoader([password = arguments->password](const QString& path, UserInterface& runUi) {
        return LoadDictionaryWorkbook(path, runUi, {}, password);
    });
    QObject::connect(&run, &BatchRun::fileFinished, [&](const FileReport& report) {
        printReport(report, arguments->json, arguments->dryRun);
    });
    const RunOutcome outcome = run.run(setup);
    if (outcome.status != RunOutcome::Status::Completed)
        return ExitUsage;

    if (arguments->json) {
        QJsonObject changed{{QStringLiteral("word"), outcome.changed[0]},
                            {QStringLiteral("excel"), outcome.changed[1]},
                            {QStringLiteral("powerpoint"), outcome.changed[2]},
                            {QStringLiteral("text"), outcome.changed[3]}};
        QJsonObject summary{{QStringLiteral("summary"), terminalText(outcome.summary)},
                            {QStringLiteral("files"), outcome.rows},
                            {QStringLiteral("changed"), changed},
                            {QStringLiteral("renamed"), outcome.renamed},
                            {QStringLiteral("failures"), outcome.exceptionLogged},
                            {QStringLiteral("dryRun"), arguments->dryRun},
                            {QStringLiteral("log"), setup.logPath}};
        m_out << QJsonDocument(summary).toJson(QJsonDocument::Compact) << Qt::endl;
    }
    if (outcome.exceptionLogged && arguments->dryRun)
        m_err << QStringLiteral("试运行中发生了异常（未写入日志）") << Qt::endl;
    else if (outcome.exceptionLogged)
        m_err << QStringLiteral("日志文件记录了处理过程中发生的异常：") << setup.logPath << Qt::endl;
    return outcome.exceptionLogged ? ExitFailures : ExitOk;
}

void ReplaceCommand::printReport(const FileReport& report, bool json, bool dryRun)
{
    if (json) {
        QJsonObject object{{QStringLiteral("path"), report.path},
                           {QStringLiteral("type"), kindKey(report.kind)},
                           {QStringLiteral("changed"), report.changed},
                           {QStringLiteral("replacements"), report.replacements},
                           {QStringLiteral("renamedTo"), report.renamedTo.isEmpty() ? QJsonValue() : QJsonValue(report.renamedTo)},
                           {QStringLiteral("error"), report.error.isEmpty() ? QJsonValue() : QJsonValue(report.error)}};
        m_out << QJsonDocument(object).toJson(QJsonDocument::Compact) << Qt::endl;
        return;
    }
    if (!dryRun)
        return;
    m_out << report.path << QStringLiteral("\t")
          << (report.changed ? QStringLiteral("将替换 %1 处").arg(report.replacements) : QStringLiteral("无替换"));
    if (!report.renamedTo.isEmpty())
        m_out << QStringLiteral("\t将改名为 ") << report.renamedTo;
    if (!report.error.isEmpty())
        m_out << QStringLiteral("\t出错：") << report.error;
    m_out << Qt::endl;
}

int ReplaceCommand::usageError(const QString& message)
{
    m_err << QStringLiteral("varnel-cli: ") << message << Qt::endl;
    return ExitUsage;
}

} // namespace varnel::cli
