#include "office/package/AtomicFile.h"

#include "core/FileIo.h"

namespace varnel::office {

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    QString ioError;
    if (!FileIo::current().writeAtomically(path, data, &ioError)) {
        if (error)
            *error = QStringLiteral("写入文件失败：%1").arg(ioError);
        return false;
    }
    return true;
}

} // namespace varnel::office
