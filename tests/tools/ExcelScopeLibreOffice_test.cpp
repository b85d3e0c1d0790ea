// Scoped runs on workbooks that meet LibreOffice: an Office 97-2003 workbook, target or dictionary, goes
// through it (a target, without it, is refused with the reason), and what the run saved still opens in it.
// Skipped where LibreOffice is not installed, except the refusal.

#include "ExcelScopeFixture.h"

#include "office/legacy/LegacyConverter.h"

#include "support/LibreOffice.h"

using namespace Qt::Literals::StringLiterals;
using varnel::excelscope::ExcelScopeSummary;
using varnel::office::LegacyConverter;
using varnel::test::inlineRow;
using varnel::test::MiniWorkbook;
using varnel::test::readFile;

namespace {

class ExcelScopeLibreOfficeTest : public varnel::test::ExcelScopeFixture
{
protected:
    // Rows 1 and 2 of column A hold "old", row 1 of column B "keep old".
    QString oldWorkbook(const QString& name)
    {
        MiniWorkbook book;
        book.sheets = {inlineRow(1, {u"old"_s, u"keep old"_s}) + inlineRow(2, {u"old"_s})};
        return workbook(book, name);
    }

    // The active sheet of the workbook as CSV lines, by LibreOffice; empty when the conversion fails.
    static QStringList csv(const QString& path)
    {
        const QByteArray csv = varnel::test::convertByLibreOffice(path, u"csv:Text - txt - csv (StarCalc):44,34,76"_s, u"csv"_s);
        return QString::fromUtf8(csv).split(u'\n', Qt::SkipEmptyParts);
    }
};

} // namespace

TEST_F(ExcelScopeLibreOfficeTest, AnOfficeWorkbookGoesThroughLibreOfficeAndTheResultsOpenThere)
{
    if (LegacyConverter::sofficePath().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString source = oldWorkbook(u"source.xlsx"_s);
    QString xls;
    QString error;
    LegacyConverter converter;
    ASSERT_TRUE(converter.convert(source, m_dir.filePath(u"xls"_s), u"xls:MS Excel 97"_s, &xls, &error))
        << error.toStdString();
    const QString legacy = m_dir.filePath(u"legacy.xls"_s);
    ASSERT_TRUE(QFile::rename(xls, legacy));
    const QString package = oldWorkbook(u"package.xlsx"_s);

    m_options.rowScope = true;
    m_options.firstRow = u"2"_s;
    m_options.lastRow = u"9"_s;
    const ExcelScopeSummary summary = run({{u"old"_s, u"new"_s}}, {legacy, package});
    EXPECT_EQ(summary.failed, 0) << m_ui.notices.join(u'\n').toStdString();
    EXPECT_EQ(summary.changed, 2);

    const QStringList expected{u"old,keep old"_s, u"new,"_s};
    EXPECT_EQ(csv(package), expected);
    EXPECT_EQ(csv(legacy), expected);
    EXPECT_EQ(readFile(legacy).left(8), QByteArray::fromHex("d0cf11e0a1b11ae1")) << "still an Office 97-2003 file";
}

TEST_F(ExcelScopeLibreOfficeTest, WithoutLibreOfficeAnOfficeWorkbookIsRefusedWithTheReason)
{
    const QString legacy = m_dir.filePath(u"legacy.xls"_s);
    varnel::test::writeFile(legacy, readFile(varnel::test::dataPath(u"office/xlsx/24_legacy.xls"_s)));
    const QByteArray before = readFile(legacy);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_dir.path().toUtf8());
    const ExcelScopeSummary summary = run({{u"old"_s, u"new"_s}}, {legacy});
    qputenv("PATH", path);

    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(readFile(legacy), before);
    ASSERT_FALSE(m_ui.notices.isEmpty());
    EXPECT_TRUE(m_ui.notices[0].contains(u"LibreOffice"_s)) << m_ui.notices[0].toStdString();
}

TEST_F(ExcelScopeLibreOfficeTest, AnOfficeDictionaryReadsAsItsPackageCopy)
{
    if (LegacyConverter::sofficePath().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString target = oldWorkbook(u"target.xlsx"_s);
    for (const QString& name : {u"10_dictionary.xlsx"_s, u"12_dictionary.xls"_s}) {
        varnel::excelscope::ExcelScopeRun scoped(m_options, m_ui);
        scoped.setDefinitionCount([this](int count) { m_counts.append(count); });
        EXPECT_GT(scoped.run(varnel::test::dataPath(u"office/xlsx/"_s + name), {target}).definitions, 0)
            << name.toStdString() << m_ui.notices.join(u'\n').toStdString();
    }
    ASSERT_EQ(m_counts.size(), 2);
    EXPECT_EQ(m_counts[0], m_counts[1]);
}
