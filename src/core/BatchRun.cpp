#include "core/BatchRun.h"

#include "core/FileCheck.h"
#include "core/FileRename.h"
#include "core/PathUtil.h"
#include "core/TextFileEngine.h"

#include <QFile>
#include <QFileInfo>

namespace varnel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString progressCaption(int row)
{
    return QStringLiteral("正在处理第 ") + QString::number(row) + QStringLiteral(" 个文件");
}

int kindIndex(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Word: return 0;
    case DocumentKind::Excel: return 1;
    case DocumentKind::PowerPoint: return 2;
    case DocumentKind::Pdf: break;
    case DocumentKind::Text: return 3;
    }
    return -1;
}

QString unknownExtensionQuestion(const QString& path)
{
    return QStringLiteral("文件：“") + path
           + QStringLiteral("”是格式未知的文件，本软件将会把它作为文本文件进行替处理。") + kCrLf
           + QStringLiteral("如果您不能确定此类文件为文本文件，建议您先暂停替换操作，对文件进行备份。以免误操作导致文件损坏丢失。")
           + kCrLf + kCrLf + QStringLiteral("是否先停止替换操作？") + kCrLf
           + QStringLiteral("（选择“否”将把文件作为文本文件进行替换处理）");
}

// A read-only file gets its owner's write permission back, as the run clears the read-only attribute.
bool clearReadOnly(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists() || info.permission(QFileDevice::WriteOwner))
        return true;
    if (QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser))
        return true;
    *error = QStringLiteral("不能取消文件的只读属性");
    return false;
}

} // namespace

QString summaryText(int rows, const std::array<int, 4>& changed, bool withRenames, int renamed)
{
    const int total = changed[0] + changed[1] + changed[2] + changed[3];
    QString text = QStringLiteral("替换完毕！") + kCrLf + QStringLiteral("共 ") + QString::number(rows)
                   + QStringLiteral(" 个文件， ") + QString::number(total) + QStringLiteral(" 个");
    if (total > 0) {
        static const std::array<const char16_t*, 4> kinds{u"个Word文档、", u"个Excel文档、", u"个PPT、", u"个文本文件"};
        QString detail = QStringLiteral("（");
        for (std::size_t i = 0; i < kinds.size(); ++i)
            if (changed[i] > 0)
                detail += QString::number(changed[i]) + QString::fromUtf16(kinds[i]);
        if (detail.endsWith(u'、'))
            detail.chop(1);
        text += detail + QStringLiteral("）");
    }
    text += QStringLiteral("发生了内容替换。");
    if (withRenames)
        text += kCrLf + QString::number(renamed) + QStringLiteral(" 个文件修改了文件名。");
    return text;
}

void sortLongestFirst(QStringList& findTexts, QStringList& replaceTexts)
{
    for (qsizetype i = findTexts.size() - 1; i >= 1; --i) {
        for (qsizetype j = i - 1; j >= 0; --j) {
            if (findTexts[i].size() > findTexts[j].size()) {
                findTexts.swapItemsAt(i, j);
                replaceTexts.swapItemsAt(i, j);
            }
        }
    }
}

const QStringList& knownRunExtensions()
{
    static const QStringList extensions =
        QStringLiteral(".doc|.docx|.xls|.xlsx|.txt|.asp|.html|.htm|.js|.jsp|.aspx|.sql|.java|.cpp|.xlsm|.rtf|.ppt|.pptx|.css|.xml|.php")
            .split(QLatin1Char('|'));
    return extensions;
}

BatchRun::BatchRun(const EngineRegistry& engines, UserInterface& ui, OptionsSource options, QObject* parent)
    : QObject(parent)
    , m_engines(engines)
    , m_ui(ui)
    , m_options(std::move(options))
{
}

RunOutcome BatchRun::run(RunSetup& setup)
{
    RunOutcome outcome;
    if (!checkInputs(setup))
        return outcome;
    if (!confirmExtensions(setup.files)) {
        outcome.status = RunOutcome::Status::Stopped;
        return outcome;
    }

    emit busyChanged(true);
    if (!buildDefinitions(setup)) {
        emit busyChanged(false);
        // The pointer is normal again before the message and the definition editor appear.
        if (setup.source == DefinitionSource::List) {
            m_ui.notice(QStringLiteral("请设置要替换的字符串信息！"));
            m_ui.openFixer(UserInterface::Fixer::AddDefinition);
        }
        return outcome;
    }
    if (m_options().isOn(Option::LongFirst))
        sortLongestFirst(m_findTexts, m_replaceTexts);

    // A dry run writes nothing anywhere, the log included: its failures reach the caller in the reports.
    const ProcessLog log(setup.dryRun ? QString() : setup.logPath);
    if (setup.logMode == LogMode::Process)
        log.writeRunHeader();

    outcome.rows = static_cast<int>(setup.files.size());
    for (int i = 0; i < outcome.rows; ++i) {
        const QString path = setup.files[i];
        m_ui.progress(progressCaption(i + 1));
        emit fileStarted(i + 1, path);
        const FileReport report = processFile(i + 1, path, setup, log, outcome.exceptionLogged);
        if (report.changed && kindIndex(report.kind) >= 0)
            ++outcome.changed[kindIndex(report.kind)];
        if (!report.renamedTo.isEmpty()) {
            ++outcome.renamed;
            if (!setup.dryRun)
                setup.files[i] = report.renamedTo;
        }
        emit fileFinished(report);
    }
    emit busyChanged(false);

    outcome.status = RunOutcome::Status::Completed;
    outcome.summary = summaryText(outcome.rows, outcome.changed, m_options().isOn(Option::Name), outcome.renamed);
    m_ui.showSummary(outcome.summary);
    m_ui.progress(QStringLiteral("处理完毕！"));
    if (outcome.exceptionLogged && !setup.dryRun)
        offerLog(m_ui, setup.logPath);
    return outcome;
}

void offerLog(UserInterface& ui, const QString& logPath)
{
    const auto answer = ui.ask(UserInterface::Question::ViewLog,
                               QStringLiteral("日志文件记录了处理过程中发生的异常，") + kCrLf
                                   + QStringLiteral("是否查看日志文件？"),
                               UserInterface::Buttons::OkCancel, UserInterface::Answer::Ok);
    if (answer == UserInterface::Answer::Ok)
        ui.openInTextEditor(logPath);
}

bool BatchRun::checkInputs(const RunSetup& setup)
{
    if (setup.files.isEmpty()) {
        m_ui.notice(QStringLiteral("没有需要处理的文档！"));
        return false;
    }
    if (setup.source == DefinitionSource::Dictionary && setup.dictionaryPath.trimmed().isEmpty()) {
        m_ui.notice(QStringLiteral("请输入替换定义Excel文件！"));
        m_ui.openFixer(UserInterface::Fixer::ChooseDictionary);
        return false;
    }
    if (setup.source == DefinitionSource::List && setup.definitions.isEmpty()) {
        m_ui.notice(QStringLiteral("请设置要替换的字符串信息！"));
        m_ui.openFixer(UserInterface::Fixer::AddDefinition);
        return false;
    }
    if (setup.logPath.trimmed().isEmpty()) {
        m_ui.notice(QStringLiteral("请输入日志文件名！"));
        m_ui.openFixer(UserInterface::Fixer::ChooseLogFile);
        return false;
    }
    return true;
}

bool BatchRun::confirmExtensions(const QStringList& files)
{
    QStringList known = knownRunExtensions();
    for (const QString& path : files) {
        const QString ext = GetFileExt(path);
        if (known.contains(ext, Qt::CaseInsensitive))
            continue;
        const auto answer = m_ui.ask(UserInterface::Question::UnknownExtension, unknownExtensionQuestion(path),
                                     UserInterface::Buttons::YesNo, UserInterface::Answer::Yes);
        if (answer == UserInterface::Answer::Yes)
            return false;
        known.append(ext);
    }
    return true;
}

bool BatchRun::buildDefinitions(const RunSetup& setup)
{
    m_findTexts.clear();
    m_replaceTexts.clear();
    bool present = false;
    if (setup.source == DefinitionSource::List) {
        for (const ReplacePair& pair : setup.definitions) {
            QString find = pair.find;
            QString replace;
            if (!find.isEmpty()) {
                present = true;
                replace = pair.replace;
                // A find text pasted from a spreadsheet cell may carry the row's CR.
                if (find.size() >= 2 && find.endsWith(QLatin1Char('\r')))
                    find.chop(1);
            }
            m_findTexts.append(find);
            m_replaceTexts.append(replace);
        }
        return present;
    }

    std::optional<ReplacePairs> pairs;
    if (m_dictionaryLoader)
        pairs = m_dictionaryLoader(setup.dictionaryPath, m_ui);
    else
        m_ui.notice(QStringLiteral("此版本不能读取替换定义Excel工作簿！"));
    if (!pairs || pairs->isEmpty())
        return false;
    for (const ReplacePair& pair : *pairs) {
        m_findTexts.append(pair.find);
        m_replaceTexts.append(pair.replace);
    }
    return true;
}

FileReport BatchRun::processFile(int row, const QString& path, const RunSetup& setup, const ProcessLog& log,
                                 bool& exceptionLogged)
{
    FileReport report;
    report.row = row;
    report.path = path;
    report.kind = documentKindOf(path);
    const ReplaceOptions options = m_options();

    if (setup.logMode == LogMode::Process)
        log.writeFileStart(path);
    auto fail = [&](const QString& description) {
        log.WriteLog(path, description);
        exceptionLogged = true;
        report.error += (report.error.isEmpty() ? QString() : QStringLiteral("; ")) + description;
    };

    // No engine opens a pipe, a socket, a device or a folder (the first would wait for ever), and the run
    // leaves their attributes alone.
    const QString refused = report.kind == DocumentKind::Pdf ? QString() : notRegularFileReason(path);
    QString error;
    if (!setup.dryRun && refused.isEmpty() && !clearReadOnly(path, &error))
        fail(error);

    if (report.kind == DocumentKind::Pdf) {
        m_ui.notice(QStringLiteral("软件不能替换PDF文档！"));
    } else if (!refused.isEmpty()) {
        fail(refused);
    } else {
        EngineRequest request(m_findTexts, m_replaceTexts, options, setup.dryRun);
        request.fromDictionary = setup.source == DefinitionSource::Dictionary;
        request.password = setup.password;
        request.ui = &m_ui;
        request.progressCaption = progressCaption(row);
        const EngineResult result = runEngine(report.kind, path, request);
        report.changed = result.changed;
        report.replacements = result.replacements;
        if (!result.error.isEmpty())
            fail(result.error);
    }

    if (options.isOn(Option::Name)) {
        const RenameOutcome rename = renameByDefinitions(path, m_findTexts, m_replaceTexts, options, m_ui, setup.dryRun);
        if (rename.renamed)
            report.renamedTo = rename.newPath;
        if (!rename.error.isEmpty())
            fail(rename.error);
    }

    if (setup.logMode == LogMode::Process)
        log.writeFileEnd(report.changed);
    return report;
}

EngineResult BatchRun::runEngine(DocumentKind kind, const QString& path, const EngineRequest& request)
{
    if (kind == DocumentKind::Text) {
        TextFileEngine text;
        return text.replace(path, request);
    }
    if (DocumentEngine* engine = m_engines.engineFor(GetFileExt(path)))
        return engine->replace(path, request);
    EngineResult unsupported;
    unsupported.error = QStringLiteral("此版本尚不能替换") + documentKindName(kind) + QStringLiteral("，文件未作修改");
    return unsupported;
}

} // namespace varnel
