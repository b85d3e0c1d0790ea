#include "tools/formatreplace/FormatReplaceRun.h"

#include "office/docx/DocxDocument.h"
#include "office/docx/DocxEngine.h"
#include "office/docx/WordMatcher.h"
#include "office/legacy/LegacyConverter.h"
#include "office/package/AtomicFile.h"
#include "tools/formatreplace/FormatContentCopier.h"
#include "tools/formatreplace/FormatReplacer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace varnel::formatreplace {

using office::OoxmlPackage;
using office::WordNames;

FormatReplaceRun::FormatReplaceRun(FormatDefinitionTable& table, const FormatReplaceOptions& options,
                                   const ProcessLog& log)
    : m_table(table)
    , m_options(options)
    , m_log(log)
    , m_definitions(table.definitions(options.wholeWord))
{
}

FormatReplaceSummary FormatReplaceRun::run(const QStringList& files)
{
    FormatReplaceSummary summary;
    summary.files = int(files.size());
    m_failures = false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (m_progress)
            m_progress(int(i) + 1);
        if (processFile(files.at(i)))
            ++summary.changed;
    }
    summary.failures = m_failures;
    return summary;
}

QString FormatReplaceRun::summaryText(const FormatReplaceSummary& summary)
{
    return QStringLiteral("替换完毕！\n共 %1 个文件，其中 %2 个文件发生了替换。").arg(summary.files).arg(summary.changed);
}

void FormatReplaceRun::fail(const QString& path, const QString& description)
{
    m_log.WriteLog(path, description);
    m_failures = true;
}

bool FormatReplaceRun::processFile(const QString& path)
{
    // A read-only file is made writable first, whether or not anything in it is replaced. The mode bits
    // decide, not access(): for root every file counts as writable.
    const QFileInfo info(path);
    const QFile::Permissions permissions = QFile::permissions(path);
    if (info.exists() && !(permissions & QFile::WriteOwner))
        QFile::setPermissions(path, permissions | QFile::WriteOwner);
    const QString suffix = info.suffix().toLower();
    QFile file(path);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly))
        head = file.read(4);
    if (!head.startsWith("PK") && (suffix == QLatin1String("doc") || suffix == QLatin1String("rtf")))
        return processLegacy(path);
    return processPackage(path, path);
}

bool FormatReplaceRun::processPackage(const QString& path, const QString& logPath)
{
    QString error;
    // A document Word could not change is refused, as the main run refuses it.
    if (const auto protection = office::DocxDocument::open(path, &error)) {
        if (protection->editingRestricted() || protection->writeProtected()) {
            fail(logPath, protection->editingRestricted() ? office::DocxEngine::restrictedError()
                                                          : office::DocxEngine::writeProtectedError());
            return false;
        }
    }
    std::unique_ptr<OoxmlPackage> package = OoxmlPackage::open(path, &error);
    pugi::xml_document* document = nullptr;
    const QString main = package ? package->mainDocumentPart() : QString();
    if (package)
        document = package->xml(main, &error);
    if (!document) {
        fail(logPath, error);
        return false;
    }
    const pugi::xml_node root = document->document_element();
    const WordNames names(root);
    FormatContentCopier copier(m_table.package(), m_table.mainPart(), *package, main);
    FormatReplacer replacer(names, root, names.child(root, "body"));
    const office::WordFindOptions find{m_options.matchCase, m_options.wholeWord, m_options.wildcards};
    bool changed = false;
    for (const FormatDefinition& definition : m_definitions) {
        office::WordMatcher matcher;
        if (!matcher.compile(definition.find, find, &error)) {
            fail(logPath, QStringLiteral("替换定义第 %1 行：%2").arg(definition.row).arg(error));
            continue;
        }
        const int replaced = replacer.replace(matcher, m_options.onlyFirst, [&](std::vector<pugi::xml_node>* content) {
            return copier.prepare(definition.cell, content, &error);
        });
        if (replaced < 0)
            fail(logPath, QStringLiteral("替换定义第 %1 行：%2").arg(definition.row).arg(error));
        changed |= replaced > 0;
    }
    if (!changed)
        return false;
    package->markChanged(main);
    if (!package->save(&error)) {
        fail(logPath, error);
        return false;
    }
    return true;
}

bool FormatReplaceRun::processLegacy(const QString& path)
{
    if (office::LegacyConverter::sofficePath().isEmpty()) {
        fail(path, QStringLiteral("处理 .doc 和 .rtf 文件需要安装 LibreOffice，文件未处理"));
        return false;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        fail(path, QStringLiteral("无法创建临时目录：%1").arg(work.errorString()));
        return false;
    }
    const bool rtf = QFileInfo(path).suffix().compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0;
    office::LegacyConverter converter;
    QString converted;
    QString error;
    if (!converter.convert(path, work.filePath(QStringLiteral("ooxml")), QStringLiteral("docx:MS Word 2007 XML"),
                           &converted, &error)) {
        fail(path, error);
        return false;
    }
    if (!processPackage(converted, path))
        return false;
    QString back;
    const QString filter = rtf ? QStringLiteral("rtf:Rich Text Format") : QStringLiteral("doc:MS Word 97");
    if (!converter.convert(converted, work.filePath(QStringLiteral("back")), filter, &back, &error)) {
        fail(path, error);
        return false;
    }
    QFile result(back);
    if (!result.open(QIODevice::ReadOnly)) {
        fail(path, result.errorString());
        return false;
    }
    if (!office::writeFileAtomically(path, result.readAll(), &error)) {
        fail(path, error);
        return false;
    }
    return true;
}

} // namespace varnel::formatreplace
