#include "tools/widthconvert/WidthTextFile.h"

#include "core/FileCheck.h"
#include "core/FileIo.h"
#include "core/TextEncoding.h"
#include "core/TextFileContent.h"

#include <QFileInfo>

#include <optional>

namespace varnel::widthconvert {

bool FileToFullWidth(const QString& path, QString* error)
{
    return convertTextFile(WidthMode::ToFullWidth, path, error);
}

bool FileToHalfWidth(const QString& path, QString* error)
{
    return convertTextFile(WidthMode::ToHalfWidth, path, error);
}

bool FilePunctuationToFullWidth(const QString& path, QString* error)
{
    return convertTextFile(WidthMode::PunctuationToFullWidth, path, error);
}

bool convertTextFile(WidthMode mode, const QString& path, QString* error, bool* changed)
{
    if (changed)
        *changed = false;
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("文件不存在");
        return false;
    }
    *error = notRegularFileReason(path);
    if (error->isEmpty())
        *error = tooLargeTextReason(info.size());
    if (!error->isEmpty())
        return false;

    const FileIo& io = FileIo::current();
    QString reason;
    const std::optional<QByteArray> bytes = io.readAll(path, &reason);
    if (!bytes) {
        *error = QStringLiteral("读取文件失败：") + reason;
        return false;
    }
    // An empty file holds nothing to convert; the detector reports it as it reports a missing one.
    if (bytes->isEmpty())
        return true;
    const TextEncoding encoding = detectTextEncoding(*bytes, bytes->size());
    if (encoding == TextEncoding::None || encoding == TextEncoding::Utf16Be) {
        *error = QStringLiteral("不支持文件的编码（%1），未作修改")
                     .arg(encoding == TextEncoding::Utf16Be ? u"UTF-16 Big Endian" : u"无法识别");
        return false;
    }

    const TextFile file = decodeTextFile(encoding, *bytes);
    const QString converted = convertWidth(mode, file.text);
    if (converted == file.text)
        return true;
    *error = lossyReadDescription(file);
    if (!error->isEmpty())
        return false;
    if (!io.writeAtomically(path, encodeTextFile(file, converted), &reason)) {
        *error = QStringLiteral("写入文件失败：") + reason;
        return false;
    }
    if (changed)
        *changed = true;
    return true;
}

} // namespace varnel::widthconvert
