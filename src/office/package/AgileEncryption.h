#pragma once
// Agile encryption, what current Office writes: an XML EncryptionInfo (version 4.4) naming the cipher
// (AES here, in CBC chaining), the hash, key and block sizes and the spin count. The password unlocks a
// random package key; the package is encrypted in segments of 4096 bytes, each with its own IV, and an
// HMAC of the whole stream (dataIntegrity) shows whether it is intact.

#include "office/package/PackageEncryption.h"

#include <memory>

namespace varnel::office {

class AgileEncryption : public PackageEncryption
{
public:
    // Settings of one of the two key descriptions (keyData for the package, encryptedKey for the password).
    struct KeySettings {
        int saltSize = 16;
        int blockSize = 16;
        int keyBits = 256;
        int hashSize = 64;
        QString hashAlgorithm = QStringLiteral("SHA512");
        QByteArray salt;
    };

    // Parses the EncryptionInfo stream after its 8-byte version header; nullptr with *error when it is
    // malformed or uses what this program cannot decrypt (a cipher other than AES-CBC, a certificate only).
    static std::unique_ptr<AgileEncryption> parse(const QByteArray& xml, QString* error);

    bool unlock(const QString& password, bool* wrongPassword, QString* error) override;
    bool decrypt(const QByteArray& stream, QByteArray* zip, QString* error) const override;
    bool encrypt(const QString& password, const QByteArray& zip, QByteArray* info, QByteArray* stream,
                 QString* error) const override;

    const KeySettings& keyData() const { return m_keyData; }
    const KeySettings& passwordKey() const { return m_passwordKey; }
    quint32 spinCount() const { return m_spinCount; }

private:
    KeySettings m_keyData;
    KeySettings m_passwordKey;
    quint32 m_spinCount = 100000;
    QByteArray m_verifierInput;     // encryptedVerifierHashInput
    QByteArray m_verifierHash;      // encryptedVerifierHashValue
    QByteArray m_encryptedKey;      // encryptedKeyValue
    QByteArray m_encryptedHmacKey;  // empty when the file carries no dataIntegrity
    QByteArray m_encryptedHmacValue;
    QByteArray m_key;               // the package key, once unlocked
};

} // namespace varnel::office
