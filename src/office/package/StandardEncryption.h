#pragma once
// Standard encryption, what Office 2007 and LibreOffice write: a binary EncryptionInfo (version 2.2, 3.2
// or 4.2) with an AES key of 128, 192 or 256 bits derived from the password through SHA-1 and 50000
// spins, a verifier to check the password, and the package encrypted in one piece with AES-ECB. It
// carries no integrity check; the header (with the provider's name) is written back as it was read.

#include "office/package/PackageEncryption.h"

#include <memory>

namespace varnel::office {

class StandardEncryption : public PackageEncryption
{
public:
    // Parses the whole EncryptionInfo stream; nullptr with *error when it is malformed or not AES
    // (RC4 CryptoAPI, the other standard flavour, is not supported).
    static std::unique_ptr<StandardEncryption> parse(const QByteArray& info, QString* error);

    bool unlock(const QString& password, bool* wrongPassword, QString* error) override;
    bool decrypt(const QByteArray& stream, QByteArray* zip, QString* error) const override;
    bool encrypt(const QString& password, const QByteArray& zip, QByteArray* info, QByteArray* stream,
                 QString* error) const override;

    int keyBits() const { return m_keyBits; }

private:
    QByteArray deriveKey(const QString& password, const QByteArray& salt) const;

    QByteArray m_header;  // version, flags, header size and the header itself
    int m_keyBits = 128;
    QByteArray m_salt;
    QByteArray m_encryptedVerifier;
    QByteArray m_encryptedVerifierHash;
    QByteArray m_key;
};

} // namespace varnel::office
