// Workbooks the Excel engine saved must still open in another spreadsheet program: LibreOffice converts
// every sheet to CSV, recalculating the formulas, and the values must show the replacements. Skipped where
// LibreOffice is not installed.

#include "XlsxFixture.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;
using varnel::Option;

namespace {

class XlsxLibreOfficeTest : public varnel::test::XlsxFixture
{
protected:
    void SetUp() override
    {
        m_soffice = QStandardPaths::findExecutable(u"soffice"_s);
        if (m_soffice.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }

    // The lines of each sheet's CSV, by sheet name; empty when the conversion fails.
    QHash<QString, QStringList> csvByLibreOffice(const QString& path)
    {
        const QString out = m_dir.filePath(u"csv"_s);
        QProcess process;
        process.setProgram(m_soffice);
        // The last field of the filter options, -1, writes every sheet to a file of its own.
        process.setArguments({u"--headless"_s, u"--norestore"_s, u"-env:UserInstallation=file://"_s + m_dir.path() + u"/profile"_s,
                              u"--convert-to"_s, u"csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"_s,
                              u"--outdir"_s, out, path});
        process.start();
        if (!process.waitForFinished(180000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        QHash<QString, QStringList> sheets;
        const QString prefix = QFileInfo(path).completeBaseName() + u'-';
        for (const QFileInfo& file : QDir(out).entryInfoList({prefix + u"*.csv"_s}, QDir::Files)) {
            QFile csv(file.filePath());
            if (!csv.open(QIODevice::ReadOnly))
                continue;
            sheets.insert(file.completeBaseName().mid(prefix.size()), QString::fromUtf8(csv.readAll()).split(u'\n'));
            csv.remove();
        }
        return sheets;
    }

    QString m_soffice;
};

} // namespace

TEST_F(XlsxLibreOfficeTest, OpensSavedWorkbooksWithTheirReplacementsAndRecalculates)
{

    struct Case {
        QString name;
        bool wholeCell;
        QStringList finds;
        QStringList replaces;
        QHash<QString, QStringList> expected; // sheet name -> the first lines of its CSV
    };
    const QList<Case> cases = {
        // A renamed sheet that a formula refers to; a number and a formula typed over text; a shared
        // string of two sheets that only matches whole on one.
        {u"renamed"_s, true, {u"Old Sheet"_s, u"123"_s, u"Shared text"_s, u"Plain"_s},
         {u"新表"_s, u"153"_s, u"Common"_s, u"=A2+1"_s},
         {{u"数据"_s, {u"旧公司名 Hello,154,,inline 旧公司名,918"_s, u"153,,1530,,"_s, u"306,,3060,,"_s}},
          {u"新表"_s, {u"Shared,5"_s, u"Shared text here,6"_s}}}},
        // Rich text across runs, an inline string, and the first cell of a shared formula.
        {u"parts"_s, false, {u"公司"_s, u"A2*10"_s}, {u"企业"_s, u"A3*10"_s},
         {{u"数据"_s, {u"旧企业名 Hello,Plain,,inline 旧企业名,738"_s, u"123,,2460,,"_s, u"246,,2460,,"_s}},
          {u"Old Sheet"_s, {u"Shared,5"_s}}}},
    };
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s, c.name + u".xlsx"_s);
        m_options.setValue(Option::MatchCase, 0);
        m_options.setValue(Option::WholeCell, c.wholeCell ? 1 : 0);
        m_options.setValue(Option::XlsSheetName, 1);
        const varnel::EngineResult result = replace(path, c.finds, c.replaces);
        ASSERT_TRUE(result.changed) << c.name.toStdString() << ": " << result.error.toStdString();

        const QHash<QString, QStringList> sheets = csvByLibreOffice(path);
        ASSERT_EQ(sheets.size(), 2) << c.name.toStdString() << " did not open in LibreOffice";
        for (auto sheet = c.expected.cbegin(); sheet != c.expected.cend(); ++sheet) {
            const QStringList lines = sheets.value(sheet.key());
            ASSERT_GE(lines.size(), sheet.value().size()) << c.name.toStdString() << ": no sheet " << sheet.key().toStdString();
            EXPECT_EQ(lines.mid(0, sheet.value().size()), sheet.value()) << c.name.toStdString();
        }
        if (c.wholeCell) {
            const QStringList lines = sheets.value(u"数据"_s);
            EXPECT_EQ(lines.value(10), u"158,,,,"_s) << "the formula on the renamed sheet";
            EXPECT_EQ(lines.value(13), u"Common,,,,"_s);
        }
    }
}

TEST_F(XlsxLibreOfficeTest, RenamedSheetAtEitherEndOfA3DReferenceStillCounts)
{
    m_options.setValue(Option::WholeCell, 1);
    m_options.setValue(Option::XlsSheetName, 1);
    // Sheet 数据 has text in B1:B3, sheet Old Sheet the numbers 5, 6 and 7. LibreOffice reads a 3D
    // reference only with its ends unquoted (or the last one quoted alone), so the new names need none.
    struct Case {
        QStringList finds;
        QStringList replaces;
        QString sheet; // where the formula is after the run
    };
    const Case cases[] = {
        {{u"Old Sheet"_s}, {u"新表"_s}, u"数据"_s},
        {{u"Old Sheet"_s, u"数据"_s}, {u"新表"_s, u"Data1"_s}, u"Data1"_s},
    };
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s, c.sheet + u".xlsx"_s);
        addFormula(path, u"xl/worksheets/sheet1.xml"_s, u"G1"_s, u"SUM('数据:Old Sheet'!B1:B3)"_s);
        ASSERT_TRUE(replace(path, c.finds, c.replaces).changed);
        const QStringList lines = csvByLibreOffice(path).value(c.sheet);
        ASSERT_FALSE(lines.isEmpty()) << c.sheet.toStdString() << " did not open in LibreOffice";
        EXPECT_EQ(lines.value(0), u"旧公司名 Hello,Plain,,inline 旧公司名,738,,18"_s) << c.sheet.toStdString();
    }
}

TEST_F(XlsxLibreOfficeTest, TypedDatesTimesAndPercentagesShowAsSuch)
{
    m_options.setValue(Option::WholeCell, 1);
    // A4, A5 and A7 are General text. LibreOffice shows the built-in date and time formats in its own
    // locale's form (03/15/2023 or 2023/3/15, 10:30:00 AM or 10:30), never as the serial number.
    const QString path = copy(u"21_cells.xlsx"_s, u"typed.xlsx"_s);
    ASSERT_TRUE(replace(path, {u"abc"_s, u"a*c"_s, u"abbbc"_s}, {u"2023/3/15"_s, u"12%"_s, u"10:30"_s}).changed);
    const QStringList lines = csvByLibreOffice(path).value(u"数据"_s);
    ASSERT_GE(lines.size(), 7) << "did not open in LibreOffice";
    const QString date = lines.at(3).section(u',', 0, 0);
    EXPECT_TRUE(date.contains(u"2023"_s) && date.contains(u"15"_s)) << date.toStdString();
    EXPECT_EQ(lines.at(4).section(u',', 0, 0), u"12%"_s);
    EXPECT_TRUE(lines.at(6).startsWith(u"10:30"_s)) << lines.at(6).toStdString();
}
