// Workbooks with the open password "5831", the dictionary included, are decrypted, replaced within the
// scope and written back encrypted in the way they came; another password leaves the workbook as it was.

#include "ExcelScopeFixture.h"

#include "office/package/EncryptedPackage.h"

using namespace Qt::StringLiterals;
using varnel::excelscope::ExcelScopeSummary;
using varnel::office::EncryptedPackage;

namespace {

class ExcelScopeEncryptedTest : public varnel::test::ExcelScopeFixture
{
protected:
    QString copyOf(const QString& fixture, const QString& name)
    {
        const QString path = m_dir.filePath(name);
        varnel::test::writeFile(path, varnel::test::readFile(varnel::test::dataPath(u"office/encrypted/"_s + fixture)));
        return path;
    }

    // The dictionary of these rows, encrypted with the settings of the agile fixture and password "5831".
    QString encryptedDictionary(const QList<std::pair<QString, QString>>& rows)
    {
        const QString plain = dictionary(rows);
        QByteArray zip;
        QString error;
        const auto settings = EncryptedPackage::fromBytes(
            varnel::test::readFile(varnel::test::dataPath(u"office/encrypted/01_agile.xlsx"_s)), u"5831"_s, &zip, &error);
        EXPECT_TRUE(settings) << error.toStdString();
        QByteArray sealed;
        EXPECT_TRUE(settings && settings->seal(varnel::test::readFile(plain), &sealed, &error)) << error.toStdString();
        varnel::test::writeFile(plain, sealed);
        return plain;
    }

    static QString encryptedCell(const QString& path, const QString& reference)
    {
        return varnel::test::xlsxCellText(path, 0, reference, u"5831"_s);
    }
};

TEST_F(ExcelScopeEncryptedTest, WorkbooksAndDictionaryWithTheFixedPasswordAreReplacedAndStayEncrypted)
{
    const QString agile = copyOf(u"01_agile.xlsx"_s, u"agile.xlsx"_s);
    const QString standard = copyOf(u"03_standard.xlsx"_s, u"standard.xlsx"_s);
    const QString dictionaryPath = encryptedDictionary({{u"旧公司名"_s, u"甲公司"_s}});
    ASSERT_TRUE(EncryptedPackage::isEncrypted(dictionaryPath));
    m_options.rowScope = true;
    m_options.firstRow = u"1"_s;
    m_options.lastRow = u"1"_s;

    varnel::excelscope::ExcelScopeRun scoped(m_options, m_ui);
    const ExcelScopeSummary summary = scoped.run(dictionaryPath, {agile, standard});
    EXPECT_EQ(summary.definitions, 1);
    EXPECT_EQ(summary.failed, 0) << m_ui.notices.join(u'\n').toStdString();
    EXPECT_EQ(summary.changed, 2);
    for (const QString& path : {agile, standard}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(EncryptedPackage::isEncrypted(path));
        EXPECT_EQ(encryptedCell(path, u"A1"_s), u"甲公司"_s);
        EXPECT_EQ(encryptedCell(path, u"B1"_s), u"新公司名"_s);
    }
}

TEST_F(ExcelScopeEncryptedTest, AWorkbookWithAnotherPasswordIsNamedLeftAsItWasAndTheRunGoesOn)
{
    const QString other = copyOf(u"05_agile_other_password.xlsx"_s, u"other.xlsx"_s);
    const QByteArray before = varnel::test::readFile(other);
    const QString agile = copyOf(u"01_agile.xlsx"_s, u"agile.xlsx"_s);

    const ExcelScopeSummary summary = run({{u"旧公司名"_s, u"甲公司"_s}}, {other, agile});
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(summary.changed, 1);
    EXPECT_EQ(varnel::test::readFile(other), before);
    EXPECT_EQ(encryptedCell(agile, u"A1"_s), u"甲公司"_s);
    ASSERT_FALSE(m_ui.notices.isEmpty());
    EXPECT_TRUE(m_ui.notices[0].contains(other)) << m_ui.notices[0].toStdString();
    EXPECT_TRUE(m_ui.notices[0].contains(u"密码不正确"_s)) << m_ui.notices[0].toStdString();
}

} // namespace
