#pragma once
// An OOXML package protected with an open password, as Office stores it: an OLE compound file whose
// stream "EncryptionInfo" describes the encryption (agile or standard) and whose stream
// "EncryptedPackage" holds the encrypted zip. Opening decrypts the zip into memory; seal() encrypts new
// zip bytes with the same password and settings into a new compound file that keeps every other entry.
//
//   QByteArray zip;
//   auto encrypted = EncryptedPackage::open(path, password, limit, &zip, &error); // nullptr: *error
//   ... edit the zip ...
//   encrypted->seal(newZip, &fileBytes, &error);

#include "office/package/CompoundFileTree.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace varnel::office {

class PackageEncryption;

class EncryptedPackage
{
public:
    enum class Method { Agile, Standard };

    ~EncryptedPackage();
    EncryptedPackage(const EncryptedPackage&) = delete;
    EncryptedPackage& operator=(const EncryptedPackage&) = delete;

    // Whether the file at path is a compound file holding the stream "EncryptedPackage".
    static bool isEncrypted(const QString& path);

    // Decrypts the package at path (at most maxSize bytes) into *zip; nullptr with a Chinese *error that
    // starts with "文档已加密" when the password is wrong, the encryption is not supported or the
    // encrypted data fails its integrity check, and otherwise says what is wrong with the file.
    static std::unique_ptr<EncryptedPackage> open(const QString& path, const QString& password, qint64 maxSize,
                                                  QByteArray* zip, QString* error);
    // The same over the bytes of such a file.
    static std::unique_ptr<EncryptedPackage> fromBytes(const QByteArray& file, const QString& password,
                                                       QByteArray* zip, QString* error);

    Method method() const { return m_method; }
    // The bytes of a new file holding zip, encrypted with the same password and settings, checked by
    // decrypting it again; false with *error.
    bool seal(const QByteArray& zip, QByteArray* file, QString* error) const;

private:
    EncryptedPackage();

    QList<CompoundFileEntry> m_entries;
    QString m_password;
    Method m_method = Method::Agile;
    std::unique_ptr<PackageEncryption> m_encryption;
};

} // namespace varnel::office
