#include "office/package/StandardEncryption.h"

#include "office/package/OfficeCrypto.h"

namespace varnel::office {

namespace {

using Chaining = OfficeCrypto::Chaining;

constexpr quint32 kSpinCount = 50000;
constexpr quint32 kFlagCryptoApi = 0x04;
constexpr quint32 kFlagAes = 0x20;
const QString kSha1 = QStringLiteral("SHA1");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

quint32 readUint32(const QByteArray& data, qsizetype offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(data.at(offset + i));
    return value;
}

QByteArray uint32Bytes(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

std::unique_ptr<StandardEncryption> StandardEncryption::parse(const QByteArray& info, QString* error)
{
    const QString damaged = QStringLiteral("文档已加密，但加密信息已损坏，无法打开");
    if (info.size() < 12) {
        setError(error, damaged);
        return nullptr;
    }
    const quint32 flags = readUint32(info, 4);
    const quint32 headerSize = readUint32(info, 8);
    const qsizetype verifierAt = 12 + qsizetype(headerSize);
    // The header's eight fields, then the verifier: salt size, 16-byte salt, 16-byte verifier, hash size
    // and the 32-byte encrypted hash (SHA-1's 20 bytes in two AES blocks).
    if (headerSize < 32 || headerSize > 4096 || info.size() < verifierAt + 4 + 16 + 16 + 4 + 32) {
        setError(error, damaged);
        return nullptr;
    }
    const quint32 algorithm = readUint32(info, 12 + 8);
    const quint32 hashAlgorithm = readUint32(info, 12 + 12);
    const quint32 keyBits = readUint32(info, 12 + 16);
    const bool aes = (flags & kFlagCryptoApi) && (flags & kFlagAes)
        && (algorithm == 0 || algorithm == 0x660E || algorithm == 0x660F || algorithm == 0x6610);
    if (!aes || (hashAlgorithm != 0 && hashAlgorithm != 0x8004) || (keyBits != 128 && keyBits != 192 && keyBits != 256)
        || readUint32(info, verifierAt) != 16 || readUint32(info, verifierAt + 36) != 20) {
        setError(error, QStringLiteral("文档已加密，但使用了不支持的加密方式（标准加密，非AES），无法打开"));
        return nullptr;
    }
    std::unique_ptr<StandardEncryption> encryption(new StandardEncryption);
    encryption->m_header = info.left(verifierAt);
    encryption->m_keyBits = int(keyBits);
    encryption->m_salt = info.mid(verifierAt + 4, 16);
    encryption->m_encryptedVerifier = info.mid(verifierAt + 20, 16);
    encryption->m_encryptedVerifierHash = info.mid(verifierAt + 40, 32);
    return encryption;
}

QByteArray StandardEncryption::deriveKey(const QString& password, const QByteArray& salt) const
{
    const QByteArray hash = OfficeCrypto::iteratedPasswordHash(kSha1, salt, password, kSpinCount);
    const QByteArray final = OfficeCrypto::hash(kSha1, hash + uint32Bytes(0));
    if (final.isEmpty())
        return QByteArray();
    // The CryptoAPI key derivation: SHA-1 of the hash XORed into 64 bytes of 0x36, then of 0x5C.
    QByteArray inner(64, 0x36);
    QByteArray outer(64, 0x5C);
    for (qsizetype i = 0; i < final.size(); ++i) {
        inner[i] = char(inner.at(i) ^ final.at(i));
        outer[i] = char(outer.at(i) ^ final.at(i));
    }
    return (OfficeCrypto::hash(kSha1, inner) + OfficeCrypto::hash(kSha1, outer)).left(m_keyBits / 8);
}

bool StandardEncryption::unlock(const QString& password, bool* wrongPassword, QString* error)
{
    *wrongPassword = false;
    const QByteArray key = deriveKey(password, m_salt);
    const QByteArray verifier = OfficeCrypto::aes(false, Chaining::Ecb, key, QByteArray(), m_encryptedVerifier);
    const QByteArray hash = OfficeCrypto::aes(false, Chaining::Ecb, key, QByteArray(), m_encryptedVerifierHash);
    if (verifier.isEmpty() || hash.isEmpty()) {
        setError(error, QStringLiteral("文档已加密，但加密信息已损坏，无法打开"));
        return false;
    }
    if (OfficeCrypto::hash(kSha1, verifier) != hash.left(20)) {
        *wrongPassword = true;
        setError(error, QStringLiteral("文档已加密，密码不正确，无法打开"));
        return false;
    }
    m_key = key;
    return true;
}

bool StandardEncryption::decrypt(const QByteArray& stream, QByteArray* zip, QString* error) const
{
    const QByteArray data = OfficeCrypto::aes(false, Chaining::Ecb, m_key, QByteArray(), wholeBlocks(stream, 16));
    return takeDeclared(stream, data, zip, error);
}

bool StandardEncryption::encrypt(const QString& password, const QByteArray& zip, QByteArray* info,
                                 QByteArray* stream, QString* error) const
{
    const QByteArray salt = OfficeCrypto::randomBytes(16);
    const QByteArray verifier = OfficeCrypto::randomBytes(16);
    const QByteArray key = deriveKey(password, salt);
    const QByteArray encryptedVerifier = OfficeCrypto::aes(true, Chaining::Ecb, key, QByteArray(), verifier);
    const QByteArray encryptedHash = OfficeCrypto::aes(true, Chaining::Ecb, key, QByteArray(),
                                                       padded(OfficeCrypto::hash(kSha1, verifier), 16));
    const QByteArray data = OfficeCrypto::aes(true, Chaining::Ecb, key, QByteArray(), padded(zip, 16));
    if (salt.isEmpty() || encryptedVerifier.isEmpty() || encryptedHash.size() != 32 || data.size() < zip.size()) {
        setError(error, QStringLiteral("加密文档失败，文件未修改"));
        return false;
    }
    *info = m_header + uint32Bytes(16) + salt + encryptedVerifier + uint32Bytes(20) + encryptedHash;
    *stream = sizePrefix(quint64(zip.size())) + data;
    return true;
}

} // namespace varnel::office
