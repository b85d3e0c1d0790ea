// varnel-cli replace --password: the open password reaches the document engines and the dictionary
// workbook read by -x.

#include "cli/ReplaceCommand.h"

#include "CliFixture.h"

#include "office/package/EncryptedPackage.h"

#include "support/PackageReadBack.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace varnel;
using namespace Qt::Literals::StringLiterals;
using varnel::test::dataPath;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

using CliFixture = varnel::test::CliFixture<cli::ReplaceCommand>;

QString encrypted(const QString& name)
{
    return dataPath(u"office/encrypted/"_s + name);
}

// The body of the Word document encrypted with the password; empty when it does not decrypt.
QByteArray documentXml(const QString& path, const QString& password)
{
    QByteArray zip;
    QString error;
    if (!office::EncryptedPackage::open(path, password, 1 << 30, &zip, &error))
        return {};
    return varnel::test::zipEntry(zip, u"word/document.xml"_s);
}

} // namespace

TEST(ReplaceCommandPassword, OpensEncryptedDocumentsAndKeepsThemEncrypted)
{
    CliFixture f;
    writeFile(f.path("a.docx"), readFile(encrypted(u"02_agile.docx"_s)));
    EXPECT_EQ(f.run({"--password", "5831", "-f", "Hello", "-r", "Howdy", f.path("a.docx")}), cli::ExitOk)
        << f.err.toStdString();
    const QByteArray xml = documentXml(f.path("a.docx"), u"5831"_s);
    EXPECT_TRUE(xml.contains("Howdy world")) << xml.left(200).toStdString();
    EXPECT_EQ(f.out, u"替换完毕！\n共 1 个文件， 1 个（1个Word文档）发生了内容替换。\n"_s);
}

TEST(ReplaceCommandPassword, MissingOrWrongPasswordIsLoggedAndTheDocumentKept)
{
    const struct {
        QStringList password;
        QString logged;
    } cases[] = {
        {{}, u"文档已加密（设置了打开密码），无法修改"_s},
        {{u"--password"_s, u"0000"_s}, u"文档已加密，密码不正确，无法打开"_s},
    };
    for (const auto& c : cases) {
        CliFixture f;
        writeFile(f.path("a.docx"), readFile(encrypted(u"02_agile.docx"_s)));
        EXPECT_EQ(f.run(c.password + QStringList{u"-f"_s, u"Hello"_s, u"-r"_s, u"Howdy"_s, f.path("a.docx")}),
                  cli::ExitFailures);
        EXPECT_TRUE(QString::fromUtf8(readFile(f.path("log.txt"))).contains(c.logged)) << c.logged.toStdString();
        EXPECT_EQ(readFile(f.path("a.docx")), readFile(encrypted(u"02_agile.docx"_s)));
    }
}

TEST(ReplaceCommandPassword, ReadsAnEncryptedDictionaryWorkbookWithThePassword)
{
    // The encrypted workbook holds the same definitions as the plain one it was made from.
    CliFixture plain;
    writeFile(plain.path("a.txt"), "旧公司名 活动页");
    ASSERT_EQ(plain.run({"-x", dataPath(u"office/xlsx/01_libreoffice.xlsx"_s), plain.path("a.txt")}), cli::ExitOk)
        << plain.err.toStdString();
    const QByteArray expected = readFile(plain.path("a.txt"));
    ASSERT_NE(expected, "旧公司名 活动页");

    for (const QString& workbook : {u"01_agile.xlsx"_s, u"03_standard.xlsx"_s}) {
        CliFixture f;
        writeFile(f.path("a.txt"), "旧公司名 活动页");
        EXPECT_EQ(f.run({"-x", encrypted(workbook), "--password", "5831", f.path("a.txt")}), cli::ExitOk)
            << f.err.toStdString();
        EXPECT_EQ(readFile(f.path("a.txt")), expected) << workbook.toStdString();

        EXPECT_EQ(f.run({"-x", encrypted(workbook), f.path("a.txt")}), cli::ExitUsage);
        EXPECT_TRUE(f.err.contains(u"文档已加密"_s)) << f.err.toStdString();
    }
}
