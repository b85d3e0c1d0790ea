#include "office/package/EncryptedPackage.h"

#include "office/package/AgileEncryption.h"
#include "office/package/CompoundFile.h"
#include "office/package/StandardEncryption.h"

#include <QFile>

namespace varnel::office {

namespace {

const QString kInfoStream = QStringLiteral("EncryptionInfo");
const QString kPackageStream = QStringLiteral("EncryptedPackage");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

std::unique_ptr<PackageEncryption> parseInfo(const QByteArray& info, EncryptedPackage::Method* method, QString* error)
{
    const int major = info.size() >= 4 ? quint8(info.at(0)) | quint8(info.at(1)) << 8 : 0;
    const int minor = info.size() >= 4 ? quint8(info.at(2)) | quint8(info.at(3)) << 8 : 0;
    if (major == 4 && minor == 4) {
        *method = EncryptedPackage::Method::Agile;
        return AgileEncryption::parse(info.mid(8), error);
    }
    if ((major == 2 || major == 3 || major == 4) && minor == 2) {
        *method = EncryptedPackage::Method::Standard;
        return StandardEncryption::parse(info, error);
    }
    setError(error, QStringLiteral("文档已加密，但使用了不支持的加密方式（版本%1.%2），无法打开").arg(major).arg(minor));
    return nullptr;
}

} // namespace

EncryptedPackage::EncryptedPackage() = default;
EncryptedPackage::~EncryptedPackage() = default;

bool EncryptedPackage::isEncrypted(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && hasCompoundFileSignature(file.read(8))
        && compoundFileEntryNames(path).contains(kPackageStream);
}

std::unique_ptr<EncryptedPackage> EncryptedPackage::open(const QString& path, const QString& password,
                                                         qint64 maxSize, QByteArray* zip, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("无法打开文件：%1").arg(file.errorString()));
        return nullptr;
    }
    if (file.size() > maxSize) {
        setError(error, QStringLiteral("加密的文档超过%1 MB，已拒绝处理").arg(maxSize >> 20));
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        setError(error, QStringLiteral("无法读取文件：%1").arg(file.errorString()));
        return nullptr;
    }
    return fromBytes(bytes, password, zip, error);
}

std::unique_ptr<EncryptedPackage> EncryptedPackage::fromBytes(const QByteArray& file, const QString& password,
                                                              QByteArray* zip, QString* error)
{
    std::unique_ptr<EncryptedPackage> package(new EncryptedPackage);
    if (!CompoundFileTree::read(file, &package->m_entries, error))
        return nullptr;
    const CompoundFileEntry* info = CompoundFileTree::find(package->m_entries, kInfoStream);
    const CompoundFileEntry* stream = CompoundFileTree::find(package->m_entries, kPackageStream);
    if (!info || !stream) {
        setError(error, QStringLiteral("文件是OLE复合文档，但不是加密的OOXML文档"));
        return nullptr;
    }
    package->m_encryption = parseInfo(info->data, &package->m_method, error);
    bool wrongPassword = false;
    if (!package->m_encryption || !package->m_encryption->unlock(password, &wrongPassword, error)
        || !package->m_encryption->decrypt(stream->data, zip, error))
        return nullptr;
    package->m_password = password;
    return package;
}

bool EncryptedPackage::seal(const QByteArray& zip, QByteArray* file, QString* error) const
{
    QByteArray info;
    QByteArray stream;
    if (!m_encryption->encrypt(m_password, zip, &info, &stream, error))
        return false;
    QList<CompoundFileEntry> entries = m_entries;
    for (CompoundFileEntry& entry : entries) {
        if (!entry.storage && entry.path == kInfoStream)
            entry.data = info;
        else if (!entry.storage && entry.path == kPackageStream)
            entry.data = stream;
    }
    QByteArray written;
    if (!CompoundFileTree::write(entries, &written, error))
        return false;
    QByteArray again;
    QString verifyError;
    if (!fromBytes(written, m_password, &again, &verifyError) || again != zip) {
        setError(error, QStringLiteral("加密后的校验失败，文件未修改：%1").arg(verifyError));
        return false;
    }
    *file = written;
    return true;
}

} // namespace varnel::office
