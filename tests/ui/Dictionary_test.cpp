#include "WindowFixture.h"

#include "support/MiniWorkbook.h"
#include "ui/main/DefinitionPanel.h"
#include "ui/FileListPanel.h"
#include "ui/frmMsgbox.h"

using namespace varnel;
using namespace varnel::test;

class Dictionary : public WindowTest
{
protected:
    // A text file to replace in, the workbook source with this workbook, and a log path.
    void prepare(const QString& workbook, const QByteArray& text = "旧公司名 and 12")
    {
        writeFile(path("a.txt"), text);
        openWindow();
        m_window->fileList().model().appendAll({path("a.txt")});
        click(control<QRadioButton>("OptExcel"));
        control<QLineEdit>("txtDictExcel")->setText(workbook);
        control<QLineEdit>("txtLog")->setText(path("run.log"));
    }

    void runBatch()
    {
        click(button("CmdDo"));
        ASSERT_TRUE(waitFor([this] { return !m_window->runController().isRunning(); }));
    }

    QString longRowWorkbook()
    {
        MiniWorkbook book;
        book.sheets = {inlineRow(1, {QStringLiteral("旧公司名"), QStringLiteral("新公司名")})
                       + inlineRow(2, {QString(300, u'x'), QStringLiteral("y")})};
        const QString file = path("long.xlsx");
        book.write(file);
        return file;
    }

    void expectControlsFree()
    {
        EXPECT_TRUE(button("CmdDo")->isEnabled());
        EXPECT_TRUE(control("OptExcel")->isEnabled());
        EXPECT_TRUE(control("OptTradition")->isEnabled());
        EXPECT_TRUE(control("txtLog")->isEnabled());
    }
};

// The workbook source is offered whether or not an engine for workbooks is registered (none is here).
TEST_F(Dictionary, RunReadsTheWorkbookShowsTheCountAndReplaces)
{
    prepare(dataPath(QStringLiteral("office/xlsx/10_dictionary.xlsx")));
    EXPECT_TRUE(control<QRadioButton>("OptExcel")->isChecked());
    runBatch();
    EXPECT_EQ(readFile(path("a.txt")), QByteArray("\xEF\xBB\xBF新公司名 and twelve"));
    EXPECT_EQ(labelText("lbl_IRepCount"), QStringLiteral("替换定义：7 条"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("替换完毕！\r\n共 1 个文件， 1 个（1个文本文件）发生了内容替换。")});
    expectControlsFree();

    control<QLineEdit>("txtDictExcel")->setText(path("other.xlsx"));
    EXPECT_TRUE(labelText("lbl_IRepCount").isEmpty());
}

TEST_F(Dictionary, LongRowWarningStopsOnceDoNotShowAgainIsTicked)
{
    prepare(longRowWorkbook());
    int shown = 0;
    answerDialog([&](QDialog& dialog) {
        ++shown;
        EXPECT_EQ(dialog.objectName(), QStringLiteral("frmMsgbox"));
        EXPECT_EQ(findIn<QLabel>(dialog, "lblMsg")->text(),
                  QStringLiteral("文件“") + path("long.xlsx")
                      + QStringLiteral("”第 2 行替换定义超过255字长，替换Word、Excel或Powerpoint文件时将被忽略。"));
        click(findIn<QCheckBox>(dialog, "ChkSkip"));
        click(findIn<QPushButton>(dialog, "Command1"));
    });
    runBatch();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(labelText("lbl_IRepCount"), QStringLiteral("替换定义：2 条"));
    EXPECT_EQ(readFile(path("a.txt")), QByteArray("\xEF\xBB\xBF新公司名 and 12"));

    answerDialog([&](QDialog& dialog) {
        ++shown;
        return dialog.reject();
    });
    runBatch();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(messages().size(), 2); // the two summaries
    ui::setModalTestMode(false);
    ui::setModalTestMode(true);
}

TEST_F(Dictionary, EmptyWorkbookShowsItsMessageOnceAndNothingRuns)
{
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {QString(), QStringLiteral("only b")})};
    book.write(path("empty.xlsx"));
    prepare(path("empty.xlsx"));
    runBatch();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("替换定义Excel工作簿：“") + path("empty.xlsx")
                                      + QStringLiteral("”内容为空，请检查替换定义工作簿！")});
    EXPECT_EQ(labelText("lbl_IRepCount"), QStringLiteral("替换定义：0 条"));
    EXPECT_EQ(readFile(path("a.txt")), QByteArray("旧公司名 and 12"));
    expectControlsFree();
}

TEST_F(Dictionary, UnreadableWorkbookSaysWhyAndNothingRuns)
{
    const QString encrypted = dataPath(QStringLiteral("office/xlsx/04_encrypted.xlsx"));
    prepare(encrypted);
    runBatch();
    ASSERT_EQ(MessageBox::shown().size(), 1);
    EXPECT_EQ(MessageBox::shown().first().icon, MessageBox::Icon::Error);
    EXPECT_TRUE(MessageBox::shown().first().text.contains(encrypted));
    EXPECT_TRUE(MessageBox::shown().first().text.contains(QStringLiteral("文档已加密")));
    EXPECT_TRUE(labelText("lbl_IRepCount").isEmpty());
    EXPECT_EQ(readFile(path("a.txt")), QByteArray("旧公司名 and 12"));
    expectControlsFree();
}

TEST_F(Dictionary, BrowseDialogOffersExcel97WorkbooksOnlyWithLibreOffice)
{
    openWindow();
    m_window->definitions().selectSource(true);
    const bool libreOffice = legacyFormatsAvailable();
    click(button("Command2"));
    EXPECT_EQ(FileDialog::requests().last().filter, libreOffice ? QStringLiteral("(*.xls;*.xlsx)|*.xls;*.xlsx")
                                                                : QStringLiteral("(*.xlsx)|*.xlsx"));

    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir.path()));
    click(button("Command2"));
    qputenv("PATH", savedPath);
    EXPECT_EQ(FileDialog::requests().last().filter, QStringLiteral("(*.xlsx)|*.xlsx"));
}
