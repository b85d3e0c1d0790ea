// Password-protected packages (tests/data/office/encrypted, password 5831): decrypted like independent
// tools decrypt them, replaced in through the engines, and written back encrypted with the same settings
// so that those tools (msoffcrypto-tool, LibreOffice) open the result with the same password. A wrong
// password or a tampered file is refused and leaves the file byte-identical.

#include "core/PathUtil.h"
#include "office/OfficeEngines.h"
#include "office/package/AgileEncryption.h"
#include "office/package/CompoundFileTree.h"
#include "office/package/EncryptedPackage.h"
#include "office/package/OoxmlPackage.h"
#include "office/package/StandardEncryption.h"

#include "support/FullDiskIo.h"
#include "support/PackageReadBack.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineRequest;
using varnel::EngineResult;
using varnel::office::AgileEncryption;
using varnel::office::CompoundFileEntry;
using varnel::office::CompoundFileTree;
using varnel::office::EncryptedPackage;
using varnel::test::dataPath;
using varnel::test::readFile;

namespace {

const QString kPassword = u"5831"_s;

struct Fixture {
    QString name;          // under office/encrypted
    QString source;        // the plain package it was encrypted from, under office/
    EncryptedPackage::Method method;
    QString part;          // a part holding the find text
    QString find;
    QString replace;
};

const Fixture kFixtures[] = {
    {u"01_agile.xlsx"_s, u"xlsx/01_libreoffice.xlsx"_s, EncryptedPackage::Method::Agile, u"xl/sharedStrings.xml"_s,
     u"旧公司名"_s, u"新名称"_s},
    {u"02_agile.docx"_s, u"docx/01_minimal.docx"_s, EncryptedPackage::Method::Agile, u"word/document.xml"_s,
     u"Hello"_s, u"Howdy"_s},
    {u"04_agile.pptx"_s, u"pptx/01_shapes.pptx"_s, EncryptedPackage::Method::Agile, u"ppt/slides/slide1.xml"_s,
     u"Second old line"_s, u"Second new line"_s},
    {u"03_standard.xlsx"_s, u"xlsx/01_libreoffice.xlsx"_s, EncryptedPackage::Method::Standard,
     u"xl/sharedStrings.xml"_s, u"旧公司名"_s, u"新名称"_s},
};

QString fixturePath(const QString& name)
{
    return dataPath(u"office/encrypted/"_s + name);
}

// The interpreter msoffcrypto-tool runs under (its first line), or empty when the tool is not installed.
QString msoffcryptoPython()
{
    QFile tool(QStandardPaths::findExecutable(u"msoffcrypto-tool"_s));
    if (tool.fileName().isEmpty() || !tool.open(QIODevice::ReadOnly))
        return {};
    const QByteArray first = tool.readLine().trimmed();
    return first.startsWith("#!") ? QString::fromUtf8(first.mid(2)) : QString();
}

// The package msoffcrypto decrypts from the file, its data integrity HMAC checked; empty on failure.
QByteArray decryptedByMsoffcrypto(const QString& python, const QString& path, const QString& password)
{
    QProcess process;
    process.start(python, {u"-c"_s,
                           u"import io, sys, msoffcrypto\n"
                           "f = msoffcrypto.OfficeFile(open(sys.argv[1], 'rb'))\n"
                           "f.load_key(password=sys.argv[2])\n"
                           "out = io.BytesIO()\n"
                           "f.decrypt(out, verify_integrity=True)\n"
                           "sys.stdout.buffer.write(out.getvalue())\n"_s,
                           path, password});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

QList<CompoundFileEntry> entriesOf(const QString& path)
{
    QList<CompoundFileEntry> entries;
    QString error;
    EXPECT_TRUE(CompoundFileTree::read(readFile(path), &entries, &error)) << error.toStdString();
    return entries;
}

QByteArray streamOf(const QString& path, const QString& stream)
{
    const QList<CompoundFileEntry> entries = entriesOf(path);
    const CompoundFileEntry* entry = CompoundFileTree::find(entries, stream);
    return entry ? entry->data : QByteArray();
}

class EncryptedPackageTest : public ::testing::Test
{
protected:
    QString copy(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        varnel::test::writeFile(path, readFile(fixturePath(name)));
        return path;
    }

    EngineResult replace(const QString& path, const QString& find, const QString& replacement,
                         const QString& password)
    {
        varnel::EngineRegistry registry;
        varnel::registerOfficeEngines(registry);
        const QStringList finds{find};
        const QStringList replaces{replacement};
        EngineRequest request(finds, replaces, m_options);
        request.password = password;
        return registry.engineFor(varnel::GetFileExt(path).toLower())->replace(path, request);
    }

    QTemporaryDir m_dir;
    varnel::ReplaceOptions m_options;
};

} // namespace

TEST_F(EncryptedPackageTest, DecryptsToThePackageThatWasEncrypted)
{
    const QString python = msoffcryptoPython();
    for (const Fixture& f : kFixtures) {
        QByteArray zip;
        QString error;
        const auto package = EncryptedPackage::open(fixturePath(f.name), kPassword, 1 << 30, &zip, &error);
        ASSERT_TRUE(package) << f.name.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(package->method(), f.method) << f.name.toStdString();
        // The agile fixtures were encrypted from the source's bytes as they are.
        if (f.method == EncryptedPackage::Method::Agile) {
            EXPECT_EQ(zip, readFile(dataPath(u"office/"_s + f.source))) << f.name.toStdString();
        }
        if (!python.isEmpty()) {
            EXPECT_EQ(zip, decryptedByMsoffcrypto(python, fixturePath(f.name), kPassword)) << f.name.toStdString();
        }
    }
}

TEST_F(EncryptedPackageTest, ReplacementIsSavedEncryptedWithTheSameSettings)
{
    const QString python = msoffcryptoPython();
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(f.name.toStdString());
        const QString path = copy(f.name);
        const EngineResult result = replace(path, f.find, f.replace, kPassword);
        ASSERT_TRUE(result.changed) << result.error.toStdString();

        QByteArray zip;
        QString error;
        const auto package = EncryptedPackage::open(path, kPassword, 1 << 30, &zip, &error);
        ASSERT_TRUE(package) << error.toStdString();
        EXPECT_EQ(package->method(), f.method);
        EXPECT_TRUE(varnel::test::zipEntry(zip, f.part).contains(f.replace.toUtf8()));

        // Fresh salts, the same cipher, key size, hash and spin count; every other entry kept.
        const QByteArray before = streamOf(fixturePath(f.name), u"EncryptionInfo"_s);
        const QByteArray after = streamOf(path, u"EncryptionInfo"_s);
        EXPECT_EQ(after.left(4), before.left(4)); // the version
        EXPECT_NE(after, before);
        if (f.method == EncryptedPackage::Method::Agile) {
            const auto old = AgileEncryption::parse(before.mid(8), &error);
            const auto now = AgileEncryption::parse(after.mid(8), &error);
            ASSERT_TRUE(old && now) << error.toStdString();
            for (const auto& [was, is] : {std::pair{old->keyData(), now->keyData()},
                                          std::pair{old->passwordKey(), now->passwordKey()}}) {
                EXPECT_EQ(is.keyBits, was.keyBits);
                EXPECT_EQ(is.hashAlgorithm, was.hashAlgorithm);
                EXPECT_EQ(is.blockSize, was.blockSize);
                EXPECT_EQ(is.saltSize, was.saltSize);
                EXPECT_NE(is.salt, was.salt);
            }
            EXPECT_EQ(now->spinCount(), old->spinCount());
        } else {
            const auto old = varnel::office::StandardEncryption::parse(before, &error);
            const auto now = varnel::office::StandardEncryption::parse(after, &error);
            ASSERT_TRUE(old && now) << error.toStdString();
            EXPECT_EQ(now->keyBits(), old->keyBits());
        }
        QStringList paths;
        for (const CompoundFileEntry& entry : entriesOf(fixturePath(f.name)))
            paths.append(entry.path);
        QStringList written;
        for (const CompoundFileEntry& entry : entriesOf(path))
            written.append(entry.path);
        EXPECT_EQ(written, paths);

        if (!python.isEmpty()) {
            EXPECT_EQ(decryptedByMsoffcrypto(python, path, kPassword), zip);
        }
    }
}

TEST_F(EncryptedPackageTest, SavedDocumentsOpenInLibreOfficeWithThePassword)
{
    const QString python = QStandardPaths::findExecutable(u"python3"_s, {u"/usr/bin"_s});
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty() || python.isEmpty()
        || QProcess::execute(python, {u"-c"_s, u"import uno"_s}) != 0)
        GTEST_SKIP() << "LibreOffice with python3-uno is not installed";
    const QString script = QStringLiteral(VARNEL_TEST_DATA) + u"/../scripts/text_with_password.py"_s;
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(f.name.toStdString());
        const QString path = copy(f.name);
        ASSERT_TRUE(replace(path, f.find, f.replace, kPassword).changed);
        QProcess office;
        office.start(python, {script, kPassword, path});
        ASSERT_TRUE(office.waitForFinished(180000));
        EXPECT_EQ(office.exitCode(), 0) << office.readAllStandardError().toStdString();
        const QString text = QString::fromUtf8(office.readAllStandardOutput());
        EXPECT_TRUE(text.contains(f.replace)) << text.toStdString();
        EXPECT_FALSE(text.contains(f.find)) << text.toStdString();
    }
}

TEST_F(EncryptedPackageTest, RefusedFilesStayByteIdentical)
{
    const struct {
        QString name;
        QString password;
        QString find;
        QString reason;  // how the log line starts; empty: no error, nothing to replace
    } cases[] = {
        {u"01_agile.xlsx"_s, u"1234"_s, u"旧公司名"_s, u"文档已加密，密码不正确"_s},
        {u"02_agile.docx"_s, u"58310"_s, u"Hello"_s, u"文档已加密，密码不正确"_s},
        {u"03_standard.xlsx"_s, u"5832"_s, u"旧公司名"_s, u"文档已加密，密码不正确"_s},
        {u"04_agile.pptx"_s, u"5381"_s, u"Hello"_s, u"文档已加密，密码不正确"_s},
        {u"04_agile.pptx"_s, QString(), u"Hello"_s, u"文档已加密（设置了打开密码）"_s},
        {u"02_agile.docx"_s, QString(), u"Hello"_s, u"文档已加密（设置了打开密码）"_s},
        {u"01_agile.xlsx"_s, QString(), u"旧公司名"_s, u"文档已加密（设置了打开密码）"_s},
        {u"02_agile.docx"_s, kPassword, u"not in the document"_s, QString()},
        {u"03_standard.xlsx"_s, kPassword, u"not in the workbook"_s, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.name + u" password "_s + c.password).toStdString());
        const QString path = copy(c.name);
        const EngineResult result = replace(path, c.find, u"x"_s, c.password);
        EXPECT_FALSE(result.changed);
        if (c.reason.isEmpty()) {
            EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        } else {
            EXPECT_TRUE(result.error.startsWith(c.reason)) << result.error.toStdString();
        }
        EXPECT_EQ(readFile(path), readFile(fixturePath(c.name)));
    }
}

TEST_F(EncryptedPackageTest, TamperedAgilePackageFailsItsIntegrityCheck)
{
    for (const QString& name : {u"01_agile.xlsx"_s, u"02_agile.docx"_s}) {
        SCOPED_TRACE(name.toStdString());
        QList<CompoundFileEntry> entries = entriesOf(fixturePath(name));
        for (CompoundFileEntry& entry : entries)
            if (entry.path == u"EncryptedPackage")
                entry.data[entry.data.size() / 2] = char(entry.data.at(entry.data.size() / 2) ^ 0x01);
        QByteArray tampered;
        QString error;
        ASSERT_TRUE(CompoundFileTree::write(entries, &tampered, &error)) << error.toStdString();
        const QString path = m_dir.filePath(name);
        varnel::test::writeFile(path, tampered);

        const EngineResult result = replace(path, u"Hello"_s, u"x"_s, kPassword);
        EXPECT_FALSE(result.changed);
        EXPECT_TRUE(result.error.startsWith(u"文档已加密，但数据完整性校验失败"_s)) << result.error.toStdString();
        EXPECT_EQ(readFile(path), tampered);
    }
}

TEST_F(EncryptedPackageTest, PasswordIsIgnoredForPackagesThatAreNotEncrypted)
{
    const QString path = m_dir.filePath(u"plain.docx"_s);
    varnel::test::writeFile(path, readFile(dataPath(u"office/docx/01_minimal.docx"_s)));
    const EngineResult result = replace(path, u"Hello"_s, u"Howdy"_s, kPassword);
    ASSERT_TRUE(result.changed) << result.error.toStdString();
    QString error;
    const auto package = varnel::office::OoxmlPackage::open(path, &error);
    ASSERT_TRUE(package) << error.toStdString();
    QByteArray document;
    ASSERT_TRUE(package->data(u"word/document.xml"_s, &document, &error));
    EXPECT_TRUE(document.contains("Howdy"));
}

TEST_F(EncryptedPackageTest, DamagedEncryptionIsRefusedWithItsReason)
{
    // Each case changes one stream of a fixture; the result must be refused, never crash or read past.
    const auto truncated = [](qsizetype size) { return [size](QByteArray& data) { data.truncate(size); }; };
    const struct {
        QString name;
        QString stream;
        std::function<void(QByteArray&)> change;
        QString reason; // how the error starts
    } cases[] = {
        {u"01_agile.xlsx"_s, u"EncryptionInfo"_s, truncated(2), u"文档已加密，但使用了不支持的加密方式"_s},
        {u"01_agile.xlsx"_s, u"EncryptionInfo"_s, truncated(200), u"文档已加密，但加密信息已损坏"_s},
        {u"01_agile.xlsx"_s, u"EncryptionInfo"_s,
         [](QByteArray& data) { data.replace("SHA512", "SHA999"); }, u"文档已加密，但使用了不支持的加密方式"_s},
        {u"01_agile.xlsx"_s, u"EncryptionInfo"_s,
         [](QByteArray& data) { data.replace("spinCount=\"100000\"", "spinCount=\"4000000000\""); },
         u"文档已加密，但使用了不支持的加密方式"_s},
        {u"01_agile.xlsx"_s, u"EncryptionInfo"_s, [](QByteArray& data) { data[2] = 3; },
         u"文档已加密，但使用了不支持的加密方式"_s}, // version 4.3, extensible encryption
        {u"03_standard.xlsx"_s, u"EncryptionInfo"_s, truncated(60), u"文档已加密，但加密信息已损坏"_s},
        {u"03_standard.xlsx"_s, u"EncryptionInfo"_s, [](QByteArray& data) { data[4] = 0x04; }, // RC4 CryptoAPI
         u"文档已加密，但使用了不支持的加密方式"_s},
        {u"03_standard.xlsx"_s, u"EncryptedPackage"_s, truncated(100), u"文档已加密，但加密的数据不完整"_s},
        {u"03_standard.xlsx"_s, u"EncryptedPackage"_s, truncated(3), u"文档已加密，但加密的数据不完整"_s},
        {u"02_agile.docx"_s, u"EncryptedPackage"_s, truncated(5000), u"文档已加密，但数据完整性校验失败"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.name + u' ' + c.stream + u' ' + c.reason).toStdString());
        QList<CompoundFileEntry> entries = entriesOf(fixturePath(c.name));
        for (CompoundFileEntry& entry : entries)
            if (entry.path == c.stream)
                c.change(entry.data);
        QByteArray file;
        QString error;
        ASSERT_TRUE(CompoundFileTree::write(entries, &file, &error)) << error.toStdString();
        QByteArray zip;
        EXPECT_FALSE(EncryptedPackage::fromBytes(file, kPassword, &zip, &error));
        EXPECT_TRUE(error.startsWith(c.reason)) << error.toStdString();
    }
}

TEST_F(EncryptedPackageTest, FailedWriteLeavesTheEncryptedFileAsItWas)
{
    const QString path = copy(u"02_agile.docx"_s);
    const QByteArray before = readFile(path);
    QString error;
    const auto package = varnel::office::OoxmlPackage::open(path, kPassword, &error);
    ASSERT_TRUE(package) << error.toStdString();
    pugi::xml_document* document = package->xml(u"word/document.xml"_s, &error);
    ASSERT_TRUE(document) << error.toStdString();
    document->document_element().append_attribute("changed") = "1";
    package->markChanged(u"word/document.xml"_s);
    {
        const varnel::test::FullDiskIo failing;
        const varnel::ScopedFileIo guard(failing);
        EXPECT_FALSE(package->save(&error));
    }
    EXPECT_TRUE(error.contains(u"磁盘已满"_s)) << error.toStdString();
    EXPECT_EQ(readFile(path), before);

    ASSERT_TRUE(package->save(&error)) << error.toStdString();
    QByteArray zip;
    ASSERT_TRUE(EncryptedPackage::open(path, kPassword, 1 << 30, &zip, &error)) << error.toStdString();
    EXPECT_TRUE(varnel::test::zipEntry(zip, u"word/document.xml"_s).contains("changed=\"1\""));
}
