#include "office/package/AgileEncryption.h"

#include "office/package/OfficeCrypto.h"

#include <pugixml.hpp>

#include <cstring>

namespace varnel::office {

namespace {

using Chaining = OfficeCrypto::Chaining;

constexpr int kSegmentSize = 4096;
// Office refuses more; a hostile file could otherwise keep the key derivation busy for hours.
constexpr quint32 kMaxSpinCount = 10'000'000;

const char kPasswordUri[] = "http://schemas.microsoft.com/office/2006/keyEncryptor/password";

// The block keys that tell the derived keys apart.
const QByteArray kVerifierInputBlock = QByteArray::fromHex("fea7d2763b4b9e79");
const QByteArray kVerifierHashBlock = QByteArray::fromHex("d7aa0f6d3061344e");
const QByteArray kKeyValueBlock = QByteArray::fromHex("146e0be7abacd0d6");
const QByteArray kHmacKeyBlock = QByteArray::fromHex("5fb2ad010cb9e1f6");
const QByteArray kHmacValueBlock = QByteArray::fromHex("a0677f02b22c8433");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString unsupported(const QString& what)
{
    return QStringLiteral("文档已加密，但使用了不支持的加密方式（%1），无法打开").arg(what);
}

const char* localName(const pugi::xml_node& node)
{
    const char* colon = std::strrchr(node.name(), ':');
    return colon ? colon + 1 : node.name();
}

pugi::xml_node child(const pugi::xml_node& parent, const char* name)
{
    for (pugi::xml_node node : parent.children())
        if (node.type() == pugi::node_element && std::strcmp(localName(node), name) == 0)
            return node;
    return pugi::xml_node();
}

QByteArray base64(const pugi::xml_node& node, const char* attribute)
{
    return QByteArray::fromBase64(node.attribute(attribute).value());
}

// Reads and checks one key description; an empty string when it is usable, otherwise the reason.
QString readSettings(const pugi::xml_node& node, AgileEncryption::KeySettings* settings)
{
    settings->saltSize = node.attribute("saltSize").as_int();
    settings->blockSize = node.attribute("blockSize").as_int();
    settings->keyBits = node.attribute("keyBits").as_int();
    settings->hashSize = node.attribute("hashSize").as_int();
    settings->hashAlgorithm = QString::fromUtf8(node.attribute("hashAlgorithm").value());
    settings->salt = base64(node, "saltValue");
    const QString cipher = QString::fromUtf8(node.attribute("cipherAlgorithm").value());
    const QString chaining = QString::fromUtf8(node.attribute("cipherChaining").value());
    if (cipher != u"AES" || chaining != u"ChainingModeCBC")
        return cipher + u' ' + chaining;
    if (!OfficeCrypto::knownHash(settings->hashAlgorithm)
        || OfficeCrypto::hash(settings->hashAlgorithm, QByteArray()).size() != settings->hashSize)
        return settings->hashAlgorithm;
    if (settings->keyBits != 128 && settings->keyBits != 192 && settings->keyBits != 256)
        return QStringLiteral("%1位密钥").arg(settings->keyBits);
    if (settings->blockSize != 16 || settings->salt.size() != settings->saltSize || settings->saltSize < 1
        || settings->saltSize > 65536)
        return QStringLiteral("块大小或盐值无效");
    return QString();
}

void writeSettings(pugi::xml_node node, const AgileEncryption::KeySettings& settings)
{
    node.append_attribute("saltSize") = settings.saltSize;
    node.append_attribute("blockSize") = settings.blockSize;
    node.append_attribute("keyBits") = settings.keyBits;
    node.append_attribute("hashSize") = settings.hashSize;
    node.append_attribute("cipherAlgorithm") = "AES";
    node.append_attribute("cipherChaining") = "ChainingModeCBC";
    node.append_attribute("hashAlgorithm") = settings.hashAlgorithm.toUtf8().constData();
    node.append_attribute("saltValue") = settings.salt.toBase64().constData();
}

// A key derived from the password hash for one purpose: H(hash + block key), cut to the key size or
// extended with 0x36 bytes.
QByteArray derivedKey(const AgileEncryption::KeySettings& settings, const QByteArray& passwordHash,
                       const QByteArray& block)
{
    return OfficeCrypto::fitted(OfficeCrypto::hash(settings.hashAlgorithm, passwordHash + block),
                                settings.keyBits / 8, 0x36);
}

// The IV for a purpose of the package key: H(keyData salt + block), cut to the block size.
QByteArray packageIv(const AgileEncryption::KeySettings& settings, const QByteArray& block)
{
    return OfficeCrypto::fitted(OfficeCrypto::hash(settings.hashAlgorithm, settings.salt + block),
                                settings.blockSize, 0x36);
}

QByteArray segmentBlock(quint32 index)
{
    QByteArray block(4, '\0');
    for (int i = 0; i < 4; ++i)
        block[i] = char((index >> (8 * i)) & 0xFF);
    return block;
}

// Encrypts or decrypts the package data segment by segment.
QByteArray cryptSegments(bool encrypt, const AgileEncryption::KeySettings& settings, const QByteArray& key,
                         const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size());
    for (qsizetype offset = 0, index = 0; offset < data.size(); offset += kSegmentSize, ++index) {
        const QByteArray segment = data.mid(offset, kSegmentSize);
        const QByteArray done = OfficeCrypto::aes(encrypt, Chaining::Cbc, key,
                                                  packageIv(settings, segmentBlock(quint32(index))), segment);
        if (done.size() != segment.size())
            return QByteArray();
        out += done;
    }
    return out;
}

} // namespace

std::unique_ptr<AgileEncryption> AgileEncryption::parse(const QByteArray& xml, QString* error)
{
    pugi::xml_document document;
    if (!document.load_buffer(xml.constData(), size_t(xml.size()), pugi::parse_default & ~pugi::parse_doctype)) {
        setError(error, QStringLiteral("文档已加密，但加密信息已损坏，无法打开"));
        return nullptr;
    }
    const pugi::xml_node root = document.document_element();
    const pugi::xml_node keyData = child(root, "keyData");
    pugi::xml_node encryptedKey;
    for (const pugi::xml_node encryptor : child(root, "keyEncryptors").children())
        if (std::strcmp(encryptor.attribute("uri").value(), kPasswordUri) == 0)
            encryptedKey = child(encryptor, "encryptedKey");
    if (!keyData || !encryptedKey) {
        setError(error, keyData ? unsupported(QStringLiteral("仅证书")) : QStringLiteral("文档已加密，但加密信息已损坏，无法打开"));
        return nullptr;
    }
    std::unique_ptr<AgileEncryption> encryption(new AgileEncryption);
    QString reason = readSettings(keyData, &encryption->m_keyData);
    if (reason.isEmpty())
        reason = readSettings(encryptedKey, &encryption->m_passwordKey);
    if (!reason.isEmpty()) {
        setError(error, unsupported(reason));
        return nullptr;
    }
    const qulonglong spinCount = encryptedKey.attribute("spinCount").as_ullong();
    if (spinCount > kMaxSpinCount) {
        setError(error, unsupported(QStringLiteral("迭代次数%1").arg(spinCount)));
        return nullptr;
    }
    encryption->m_spinCount = quint32(spinCount);
    encryption->m_verifierInput = base64(encryptedKey, "encryptedVerifierHashInput");
    encryption->m_verifierHash = base64(encryptedKey, "encryptedVerifierHashValue");
    encryption->m_encryptedKey = base64(encryptedKey, "encryptedKeyValue");
    const pugi::xml_node integrity = child(root, "dataIntegrity");
    encryption->m_encryptedHmacKey = base64(integrity, "encryptedHmacKey");
    encryption->m_encryptedHmacValue = base64(integrity, "encryptedHmacValue");
    return encryption;
}

bool AgileEncryption::unlock(const QString& password, bool* wrongPassword, QString* error)
{
    *wrongPassword = false;
    const KeySettings& p = m_passwordKey;
    const QByteArray hash = OfficeCrypto::iteratedPasswordHash(p.hashAlgorithm, p.salt, password, m_spinCount);
    const QByteArray iv = OfficeCrypto::fitted(p.salt, p.blockSize, 0x36);
    const QByteArray input = OfficeCrypto::aes(false, Chaining::Cbc, derivedKey(p, hash, kVerifierInputBlock), iv,
                                               m_verifierInput);
    const QByteArray expected = OfficeCrypto::aes(false, Chaining::Cbc, derivedKey(p, hash, kVerifierHashBlock),
                                                  iv, m_verifierHash);
    const QByteArray key = OfficeCrypto::aes(false, Chaining::Cbc, derivedKey(p, hash, kKeyValueBlock), iv,
                                             m_encryptedKey);
    if (input.size() < p.saltSize || expected.size() < p.hashSize || key.size() < m_keyData.keyBits / 8) {
        setError(error, QStringLiteral("文档已加密，但加密信息已损坏，无法打开"));
        return false;
    }
    if (OfficeCrypto::hash(p.hashAlgorithm, input.left(p.saltSize)) != expected.left(p.hashSize)) {
        *wrongPassword = true;
        setError(error, QStringLiteral("文档已加密，密码不正确，无法打开"));
        return false;
    }
    m_key = key.left(m_keyData.keyBits / 8);
    return true;
}

bool AgileEncryption::decrypt(const QByteArray& stream, QByteArray* zip, QString* error) const
{
    const KeySettings& k = m_keyData;
    if (!m_encryptedHmacKey.isEmpty() || !m_encryptedHmacValue.isEmpty()) {
        const QByteArray hmacKey = OfficeCrypto::aes(false, Chaining::Cbc, m_key, packageIv(k, kHmacKeyBlock),
                                                     m_encryptedHmacKey);
        const QByteArray hmacValue = OfficeCrypto::aes(false, Chaining::Cbc, m_key,
                                                       packageIv(k, kHmacValueBlock), m_encryptedHmacValue);
        if (hmacKey.size() < k.hashSize || hmacValue.size() < k.hashSize
            || OfficeCrypto::hmac(k.hashAlgorithm, hmacKey.left(k.hashSize), stream) != hmacValue.left(k.hashSize)) {
            setError(error, QStringLiteral("文档已加密，但数据完整性校验失败（文件已损坏或被改动），无法打开"));
            return false;
        }
    }
    return takeDeclared(stream, cryptSegments(false, k, m_key, wholeBlocks(stream, k.blockSize)), zip, error);
}

bool AgileEncryption::encrypt(const QString& password, const QByteArray& zip, QByteArray* info,
                              QByteArray* stream, QString* error) const
{
    KeySettings k = m_keyData;
    KeySettings p = m_passwordKey;
    k.salt = OfficeCrypto::randomBytes(k.saltSize);
    p.salt = OfficeCrypto::randomBytes(p.saltSize);
    const QByteArray key = OfficeCrypto::randomBytes(k.keyBits / 8);
    const QByteArray verifier = OfficeCrypto::randomBytes(p.saltSize);
    const QByteArray hmacKey = OfficeCrypto::randomBytes(k.hashSize);

    const QByteArray hash = OfficeCrypto::iteratedPasswordHash(p.hashAlgorithm, p.salt, password, m_spinCount);
    const QByteArray iv = OfficeCrypto::fitted(p.salt, p.blockSize, 0x36);
    const auto sealed = [&](const QByteArray& block, const QByteArray& data) {
        return OfficeCrypto::aes(true, Chaining::Cbc, derivedKey(p, hash, block), iv, padded(data, p.blockSize));
    };
    const QByteArray encryptedInput = sealed(kVerifierInputBlock, verifier);
    const QByteArray encryptedHash = sealed(kVerifierHashBlock, OfficeCrypto::hash(p.hashAlgorithm, verifier));
    const QByteArray encryptedKey = sealed(kKeyValueBlock, key);

    *stream = sizePrefix(quint64(zip.size())) + cryptSegments(true, k, key, padded(zip, k.blockSize));
    const QByteArray hmacValue = OfficeCrypto::hmac(k.hashAlgorithm, hmacKey, *stream);
    const QByteArray encryptedHmacKey = OfficeCrypto::aes(true, Chaining::Cbc, key, packageIv(k, kHmacKeyBlock),
                                                          padded(hmacKey, k.blockSize));
    const QByteArray encryptedHmacValue = OfficeCrypto::aes(true, Chaining::Cbc, key,
                                                            packageIv(k, kHmacValueBlock),
                                                            padded(hmacValue, k.blockSize));
    if (k.salt.isEmpty() || p.salt.isEmpty() || hash.isEmpty() || encryptedInput.isEmpty() || encryptedHash.isEmpty()
        || encryptedKey.isEmpty() || stream->size() < 8 + zip.size() || encryptedHmacKey.isEmpty()
        || encryptedHmacValue.isEmpty()) {
        setError(error, QStringLiteral("加密文档失败，文件未修改"));
        return false;
    }

    pugi::xml_document document;
    pugi::xml_node root = document.append_child("encryption");
    root.append_attribute("xmlns") = "http://schemas.microsoft.com/office/2006/encryption";
    root.append_attribute("xmlns:p") = kPasswordUri;
    root.append_attribute("xmlns:c") = "http://schemas.microsoft.com/office/2006/keyEncryptor/certificate";
    writeSettings(root.append_child("keyData"), k);
    pugi::xml_node integrity = root.append_child("dataIntegrity");
    integrity.append_attribute("encryptedHmacKey") = encryptedHmacKey.toBase64().constData();
    integrity.append_attribute("encryptedHmacValue") = encryptedHmacValue.toBase64().constData();
    pugi::xml_node encryptor = root.append_child("keyEncryptors").append_child("keyEncryptor");
    encryptor.append_attribute("uri") = kPasswordUri;
    pugi::xml_node passwordNode = encryptor.append_child("p:encryptedKey");
    passwordNode.append_attribute("spinCount") = m_spinCount;
    writeSettings(passwordNode, p);
    passwordNode.append_attribute("encryptedVerifierHashInput") = encryptedInput.toBase64().constData();
    passwordNode.append_attribute("encryptedVerifierHashValue") = encryptedHash.toBase64().constData();
    passwordNode.append_attribute("encryptedKeyValue") = encryptedKey.toBase64().constData();

    struct Writer : pugi::xml_writer {
        QByteArray bytes;
        void write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), qsizetype(size)); }
    } writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    // Version 4.4 and the reserved flags 0x40, then the XML with its declaration on a line of its own, as
    // Office writes it.
    *info = QByteArray::fromHex("0400040040000000")
        + QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n") + writer.bytes;
    return true;
}

} // namespace varnel::office
