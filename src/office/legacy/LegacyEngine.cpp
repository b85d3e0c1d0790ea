#include "office/legacy/LegacyEngine.h"

#include "core/FileIo.h"
#include "office/package/AtomicFile.h"
#include "office/package/CompoundFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace varnel::office {

namespace {

// The stream that holds the document in each binary format. Anything else with the extension (garbage, or
// text that LibreOffice would happily import as a document) must not be converted and written back.
QStringList mainStreamsOf(const QString& extension)
{
    if (extension == u".doc")
        return {QStringLiteral("WordDocument")};
    if (extension == u".xls")
        return {QStringLiteral("Workbook"), QStringLiteral("Book")};
    if (extension == u".ppt")
        return {QStringLiteral("PowerPoint Document")};
    return {};
}

bool holdsBinaryDocument(const QString& path, const QString& extension)
{
    const QStringList wanted = mainStreamsOf(extension);
    if (wanted.isEmpty())
        return true;
    const QStringList names = compoundFileEntryNames(path);
    return std::any_of(wanted.cbegin(), wanted.cend(), [&names](const QString& name) { return names.contains(name); });
}

} // namespace

LegacyEngine::LegacyEngine(std::shared_ptr<DocumentEngine> inner, const QString& ooxmlExtension,
                           const QString& toOoxmlFilter, const QString& backFilter)
    : m_inner(std::move(inner))
    , m_ooxmlExtension(ooxmlExtension)
    , m_toOoxmlFilter(toOoxmlFilter)
    , m_backFilter(backFilter)
{
}

EngineResult LegacyEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    // The format the file holds, which a router has established; its name may say otherwise.
    const QString extension = u'.' + m_backFilter.section(u':', 0, 0);
    if (LegacyConverter::sofficePath().isEmpty()) {
        result.error = QStringLiteral("本机没有安装LibreOffice，无法处理%1文档").arg(extension);
        return result;
    }

    // The original is only ever read until the converted result replaces it in one rename.
    const QTemporaryDir work(QDir::tempPath() + QStringLiteral("/varnel-legacy-XXXXXX"));
    QString error;
    const std::optional<QByteArray> original = FileIo::current().readAll(path, &error);
    if (!work.isValid() || !original) {
        result.error = work.isValid() ? QStringLiteral("无法读取文件：%1").arg(error) : QStringLiteral("无法创建临时文件夹");
        return result;
    }
    const QString source = work.filePath(QStringLiteral("document") + extension);
    {
        QFile copy(source);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(*original) != original->size()) {
            result.error = QStringLiteral("无法复制文件到临时文件夹：%1").arg(copy.errorString());
            return result;
        }
    }

    if (!holdsBinaryDocument(source, extension)) {
        result.error = QStringLiteral("文件内容不是有效的%1文档（Office 97-2003格式），无法处理").arg(extension);
        return result;
    }

    QString converted;
    if (!m_converter.convert(source, work.filePath(QStringLiteral("ooxml")), m_toOoxmlFilter, &converted, &error)) {
        result.error = QStringLiteral("无法把%1文档转换为%2格式：%3").arg(extension, m_ooxmlExtension, error);
        return result;
    }

    EngineRequest innerRequest = request;
    innerRequest.displayPath = request.shownPath(path);
    result = m_inner->replace(converted, innerRequest);
    if (!result.changed || request.dryRun)
        return result;

    QString back;
    std::optional<QByteArray> bytes;
    if (!m_converter.convert(converted, work.filePath(QStringLiteral("back")), m_backFilter, &back, &error)) {
        error = QStringLiteral("无法把修改后的文档转换回%1格式，文件未修改：%2").arg(extension, error);
    } else if (!(bytes = FileIo::current().readAll(back, &error))) {
        error = QStringLiteral("无法读取转换后的文档，文件未修改：%1").arg(error);
    } else if (!writeFileAtomically(path, *bytes, &error)) {
        error = QStringLiteral("%1，文件未修改").arg(error);
    } else {
        return result;
    }
    result.changed = false;
    result.replacements = 0;
    result.error = error;
    return result;
}

} // namespace varnel::office
