#include "office/package/PackageEncryption.h"

namespace varnel::office {

quint64 PackageEncryption::declaredSize(const QByteArray& stream)
{
    quint64 size = 0;
    for (int i = 7; i >= 0 && stream.size() >= 8; --i)
        size = (size << 8) | quint8(stream.at(i));
    return size;
}

QByteArray PackageEncryption::sizePrefix(quint64 size)
{
    QByteArray prefix(8, '\0');
    for (int i = 0; i < 8; ++i)
        prefix[i] = char((size >> (8 * i)) & 0xFF);
    return prefix;
}

QByteArray PackageEncryption::wholeBlocks(const QByteArray& stream, int blockSize)
{
    const QByteArray body = stream.mid(8);
    return body.left(body.size() - body.size() % blockSize);
}

bool PackageEncryption::takeDeclared(const QByteArray& stream, const QByteArray& decrypted, QByteArray* zip,
                                     QString* error)
{
    const quint64 size = declaredSize(stream);
    if (stream.size() < 8 || size > quint64(decrypted.size())) {
        if (error)
            *error = QStringLiteral("文档已加密，但加密的数据不完整（文件已损坏），无法打开");
        return false;
    }
    *zip = decrypted.left(qsizetype(size));
    return true;
}

QByteArray PackageEncryption::padded(const QByteArray& data, int blockSize)
{
    const qsizetype rest = data.size() % blockSize;
    return rest == 0 ? data : data + QByteArray(blockSize - rest, '\0');
}

} // namespace varnel::office
