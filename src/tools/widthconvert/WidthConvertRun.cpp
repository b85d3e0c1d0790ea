#include "tools/widthconvert/WidthConvertRun.h"

#include "core/BatchRun.h"
#include "core/DocumentEngine.h"
#include "core/PathUtil.h"
#include "core/ProcessLog.h"
#include "core/TextCodec.h"
#include "office/ContentRouter.h"
#include "office/legacy/LegacyEngine.h"
#include "tools/widthconvert/WidthDocxEngine.h"
#include "tools/widthconvert/WidthRtfEngine.h"
#include "tools/widthconvert/WidthTextFile.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

namespace varnel::widthconvert {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The Word path: like the word processor, it opens a file by what the file holds, whatever its name.
// Content no Word engine edits goes to the .docx engine, whose error says why it cannot be opened.
std::shared_ptr<DocumentEngine> wordEngine(WidthMode mode)
{
    const auto docx = std::make_shared<WidthDocxEngine>(mode);
    const auto rtf = std::make_shared<WidthRtfEngine>(mode);
    const auto legacyDoc = std::make_shared<office::LegacyEngine>(docx, QStringLiteral(".docx"),
                                                                  QStringLiteral("docx:MS Word 2007 XML"),
                                                                  QStringLiteral("doc:MS Word 97"));
    auto router = std::make_shared<ContentRouter>(docx, QStringLiteral("Word文档"));
    router->route(DocumentContent::WordPackage, docx);
    router->route(DocumentContent::Package, docx);
    router->route(DocumentContent::Rtf, rtf);
    router->route(DocumentContent::WordBinary, legacyDoc);
    return router;
}

// Clears the read-only state (the owner's write permission back) as the run clears the attribute.
QString clearReadOnly(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.permission(QFileDevice::WriteOwner))
        return {};
    if (QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser))
        return {};
    return QStringLiteral("不能取消文件的只读属性");
}

} // namespace

WidthConvertRun::WidthConvertRun(UserInterface& ui, QObject* parent)
    : QObject(parent)
    , m_ui(ui)
{
}

WidthRunOutcome WidthConvertRun::run(const WidthRunSetup& setup)
{
    WidthRunOutcome outcome;
    if (setup.files.isEmpty()) {
        m_ui.notice(QStringLiteral("没有需要处理的文档！"));
        return outcome;
    }
    if (setup.logPath.trimmed().isEmpty()) {
        outcome.status = WidthRunOutcome::Status::NoLogPath;
        m_ui.notice(QStringLiteral("请输入日志文件名！"));
        m_ui.openFixer(UserInterface::Fixer::ChooseLogFile);
        return outcome;
    }

    const qsizetype rows = setup.files.size();
    for (qsizetype i = 0; i < rows; ++i) {
        const int row = int(i + 1);
        const QString& path = setup.files.at(i);
        emit fileStarted(row, path);
        bool changed = false;
        const QString error = convertFile(row, path, setup.mode, &changed);
        if (!error.isEmpty()) {
            WriteErrorLog(setup.logPath, path, error);
            ++outcome.failed;
        } else if (changed) {
            ++outcome.converted;
        }
    }

    outcome.status = WidthRunOutcome::Status::Completed;
    m_ui.showSummary(QStringLiteral("替换完毕！"));
    m_ui.progress(QStringLiteral("处理完毕！"));
    if (outcome.failed > 0)
        offerLog(m_ui, setup.logPath);
    return outcome;
}

QString WidthConvertRun::convertFile(int row, const QString& path, WidthMode mode, bool* changed)
{
    const QString caption = QStringLiteral("正在处理第 %1 个文件").arg(row);
    m_ui.progress(caption);
    // A failure to clear read-only is not the end: the conversion itself says whether the file can be
    // written, and only the last failure of a document is logged.
    QString error = clearReadOnly(path);

    if (GetFileExt(path).compare(u".txt", Qt::CaseInsensitive) == 0) {
        QString reason;
        return convertTextFile(mode, path, &reason, changed) ? error : reason;
    }

    const QStringList noDefinitions;
    const ReplaceOptions options;
    EngineRequest request(noDefinitions, noDefinitions, options);
    request.ui = &m_ui;
    request.progressCaption = caption;
    const EngineResult result = wordEngine(mode)->replace(path, request);
    *changed = result.changed;
    return result.error.isEmpty() ? error : result.error;
}

QString WidthConvertRun::logLine(const QString& path, const QString& description)
{
    return QStringLiteral("处理[") + path + QStringLiteral("]异常错误：") + description;
}

void WidthConvertRun::WriteErrorLog(const QString& logPath, const QString& path, const QString& description) const
{
    // Open, append, close: a log that cannot be written gets nothing, and the run goes on.
    QFile file(logPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(encodeLocalText(ProcessLog::timestamp() + QLatin1Char('\t') + logLine(path, description) + kCrLf));
}

} // namespace varnel::widthconvert
