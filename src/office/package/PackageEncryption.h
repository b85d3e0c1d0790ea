#pragma once
// What an encrypted OOXML package's two streams need from an encryption method (agile or standard):
// unlock with the password, decrypt the package, and encrypt new package bytes with the same settings.

#include <QByteArray>
#include <QString>

namespace varnel::office {

class PackageEncryption
{
public:
    virtual ~PackageEncryption() = default;

    // Derives the package key from the password. False when it cannot: *wrongPassword tells a wrong
    // password from settings this program cannot use (then *error says which).
    virtual bool unlock(const QString& password, bool* wrongPassword, QString* error) = 0;
    // The zip bytes held in the EncryptedPackage stream, checked where the method allows (agile carries
    // an HMAC of the stream); false with a Chinese *error. Needs unlock().
    virtual bool decrypt(const QByteArray& stream, QByteArray* zip, QString* error) const = 0;
    // New EncryptionInfo and EncryptedPackage streams holding zip under the same password and settings
    // (cipher, key size, hash, block size, spin count), with fresh salts and a fresh package key.
    virtual bool encrypt(const QString& password, const QByteArray& zip, QByteArray* info, QByteArray* stream,
                         QString* error) const = 0;

    // The 64-bit little-endian size the EncryptedPackage stream starts with.
    static quint64 declaredSize(const QByteArray& stream);
    static QByteArray sizePrefix(quint64 size);
    // The encrypted data after the size, without a trailing partial block.
    static QByteArray wholeBlocks(const QByteArray& stream, int blockSize);
    // The first declaredSize(stream) bytes of the decrypted data into *zip; false with *error when the
    // data is shorter (a truncated file).
    static bool takeDeclared(const QByteArray& stream, const QByteArray& decrypted, QByteArray* zip, QString* error);
    // data extended with zero bytes to a whole number of blocks.
    static QByteArray padded(const QByteArray& data, int blockSize);
};

} // namespace varnel::office
