#include "office/package/OfficeCrypto.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <cstring>
#include <memory>

namespace varnel::office {

namespace {

const EVP_MD* digest(const QString& name)
{
    if (name == u"SHA1")
        return EVP_sha1();
    if (name == u"SHA256")
        return EVP_sha256();
    if (name == u"SHA384")
        return EVP_sha384();
    if (name == u"SHA512")
        return EVP_sha512();
    if (name == u"MD5")
        return EVP_md5();
    return nullptr;
}

const EVP_CIPHER* cipher(OfficeCrypto::Chaining chaining, qsizetype keySize)
{
    const bool cbc = chaining == OfficeCrypto::Chaining::Cbc;
    switch (keySize) {
    case 16: return cbc ? EVP_aes_128_cbc() : EVP_aes_128_ecb();
    case 24: return cbc ? EVP_aes_192_cbc() : EVP_aes_192_ecb();
    case 32: return cbc ? EVP_aes_256_cbc() : EVP_aes_256_ecb();
    default: return nullptr;
    }
}

const unsigned char* bytes(const QByteArray& data)
{
    return reinterpret_cast<const unsigned char*>(data.constData());
}

} // namespace

bool OfficeCrypto::knownHash(const QString& name)
{
    return digest(name) != nullptr;
}

QByteArray OfficeCrypto::hash(const QString& name, const QByteArray& data)
{
    const EVP_MD* md = digest(name);
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!md || !EVP_Digest(data.constData(), size_t(data.size()), out, &length, md, nullptr))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(out), int(length));
}

QByteArray OfficeCrypto::hmac(const QString& name, const QByteArray& key, const QByteArray& data)
{
    const EVP_MD* md = digest(name);
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!md || !HMAC(md, key.constData(), int(key.size()), bytes(data), size_t(data.size()), out, &length))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(out), int(length));
}

QByteArray OfficeCrypto::aes(bool encrypt, Chaining chaining, const QByteArray& key, const QByteArray& iv,
                             const QByteArray& data)
{
    const EVP_CIPHER* type = cipher(chaining, key.size());
    if (!type || data.size() % 16 != 0 || (chaining == Chaining::Cbc && iv.size() != 16))
        return QByteArray();
    const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                                  EVP_CIPHER_CTX_free);
    QByteArray out(data.size() + 16, Qt::Uninitialized);
    int length = 0;
    int last = 0;
    const unsigned char* ivBytes = chaining == Chaining::Cbc ? bytes(iv) : nullptr;
    if (!context || !EVP_CipherInit_ex(context.get(), type, nullptr, bytes(key), ivBytes, encrypt ? 1 : 0)
        || !EVP_CIPHER_CTX_set_padding(context.get(), 0)
        || !EVP_CipherUpdate(context.get(), reinterpret_cast<unsigned char*>(out.data()), &length, bytes(data),
                             int(data.size()))
        || !EVP_CipherFinal_ex(context.get(), reinterpret_cast<unsigned char*>(out.data()) + length, &last))
        return QByteArray();
    out.resize(length + last);
    return out;
}

QByteArray OfficeCrypto::iteratedPasswordHash(const QString& hashName, const QByteArray& salt,
                                              const QString& password, quint32 spinCount)
{
    const EVP_MD* md = digest(hashName);
    if (!md)
        return QByteArray();
    QByteArray utf16(password.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < password.size(); ++i) {
        const char16_t unit = password.at(i).unicode();
        utf16[2 * i] = char(unit & 0xFF);
        utf16[2 * i + 1] = char(unit >> 8);
    }
    QByteArray current = hash(hashName, salt + utf16);
    const int size = EVP_MD_get_size(md);
    // One context reused across the iterations: the loop runs 100000 times for current documents.
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned char buffer[4 + EVP_MAX_MD_SIZE];
    std::memcpy(buffer + 4, current.constData(), size_t(size));
    for (quint32 i = 0; context && i < spinCount; ++i) {
        buffer[0] = static_cast<unsigned char>(i & 0xFF);
        buffer[1] = static_cast<unsigned char>((i >> 8) & 0xFF);
        buffer[2] = static_cast<unsigned char>((i >> 16) & 0xFF);
        buffer[3] = static_cast<unsigned char>(i >> 24);
        unsigned int length = 0;
        if (!EVP_DigestInit_ex(context.get(), md, nullptr) || !EVP_DigestUpdate(context.get(), buffer, size_t(4 + size))
            || !EVP_DigestFinal_ex(context.get(), buffer + 4, &length))
            return QByteArray();
    }
    return context ? QByteArray(reinterpret_cast<const char*>(buffer + 4), size) : QByteArray();
}

QByteArray OfficeCrypto::randomBytes(int count)
{
    QByteArray out(count, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), count) != 1)
        return QByteArray();
    return out;
}

QByteArray OfficeCrypto::fitted(const QByteArray& data, int size, char fill)
{
    QByteArray out = data.left(size);
    if (out.size() < size)
        out.append(size - out.size(), fill);
    return out;
}

} // namespace varnel::office
