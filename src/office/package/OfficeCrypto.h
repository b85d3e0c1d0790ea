#pragma once
// The cryptographic primitives of Office's document encryption, over OpenSSL: the hashes it names, AES
// in the two chaining modes it uses (always without padding, the data being a whole number of blocks),
// HMAC and random bytes. Each returns an empty array on failure (an unknown algorithm, a key of the wrong
// length, data that is not whole blocks).

#include <QByteArray>
#include <QString>

namespace varnel::office {

class OfficeCrypto
{
public:
    // "SHA1", "SHA256", "SHA384", "SHA512" or "MD5" as the encryption XML spells them; false otherwise.
    static bool knownHash(const QString& name);
    static QByteArray hash(const QString& name, const QByteArray& data);
    static QByteArray hmac(const QString& name, const QByteArray& key, const QByteArray& data);

    enum class Chaining { Cbc, Ecb };
    // AES with a 16, 24 or 32 byte key; the iv is ignored for ECB.
    static QByteArray aes(bool encrypt, Chaining chaining, const QByteArray& key, const QByteArray& iv,
                          const QByteArray& data);

    // The password hash both encryptions start from: H(salt + password as UTF-16LE), then spinCount times
    // H(iteration as 32-bit little-endian + previous hash).
    static QByteArray iteratedPasswordHash(const QString& hashName, const QByteArray& salt,
                                           const QString& password, quint32 spinCount);

    static QByteArray randomBytes(int count);
    // data cut or extended with the byte fill to exactly size bytes (how keys and IVs get their length).
    static QByteArray fitted(const QByteArray& data, int size, char fill);
};

} // namespace varnel::office
