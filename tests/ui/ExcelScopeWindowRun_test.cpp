// The Excel scope window's settings, the options and scope it hands to a run, what it shows while the run
// goes on and after it (also after a run that failed), and the files its boxes take.

#include "ExcelScopeWindowFixture.h"

#include "support/MiniWorkbook.h"
#include "support/PackageReadBack.h"

#include <QSemaphore>

#include <stdexcept>

using namespace varnel;
using namespace varnel::test;
using excelscope::ExcelScopeOptions;
using excelscope::ExcelScopeSummary;

namespace {

const QString kSection = QStringLiteral("ExcelScopeReplace");

TEST_F(ExcelScopeWindow, FirstUseShowsMatchCaseGreyAndClosingStoresEveryKeyWithRowTextsOnlyWhenTicked)
{
    openTool();
    EXPECT_EQ(check("ChkMatchCase")->value(), 2);
    for (const char* name : {"ChkXlsPageHeader", "ChkXlsSheetName", "ChkWholeCell", "ChkXlsWildcard", "ChkRows",
                             "ChkColumns", "ChkSheet"})
        EXPECT_EQ(check(name)->value(), 0) << name;

    // Rows filled in and then unticked; columns filled in and ticked.
    edit("txtRows(0)")->setText(QStringLiteral("2"));
    edit("txtRows(1)")->setText(QStringLiteral("100"));
    click(check("ChkRows"));
    ASSERT_EQ(check("ChkRows")->value(), 0);
    edit("CmbColumn(0)")->setText(QStringLiteral("C"));
    edit("CmbColumn(1)")->setText(QStringLiteral("AB"));
    click(check("ChkWholeCell"));
    toolControl<QComboBox>("CmbCompare")->setCurrentIndex(1);
    toolControl<QLineEdit>("txtSheetName")->setText(QStringLiteral("Data"));
    toolControl<QLineEdit>("txtDictExcel")->setText(path(QStringLiteral("dict.xlsx")));
    closeTool();

    const struct {
        const char* key;
        const char* stored;
    } expected[] = {
        {"ChkXlsWildcard", "0"}, {"ChkWholeCell", "1"}, {"ChkXlsSheetName", "0"}, {"ChkXlsPageHeader", "0"},
        {"ChkMatchCase", "2"},   {"txtRows(0)", ""},    {"txtRows(1)", ""},       {"ChkRows", "0"},
        {"CmbColumn(0)", "C"},   {"CmbColumn(1)", "AB"}, {"ChkColumns", "1"},
    };
    for (const auto& entry : expected)
        EXPECT_EQ(m_store->read(kSection, QString::fromLatin1(entry.key), QStringLiteral("missing")),
                  QString::fromLatin1(entry.stored))
            << entry.key;
    for (const char* notKept : {"ChkSheet", "CmbCompare", "txtSheetName", "txtDictExcel"})
        EXPECT_EQ(m_store->read(kSection, QString::fromLatin1(notKept), QStringLiteral("missing")),
                  QStringLiteral("missing"))
            << notKept;

    openTool();
    EXPECT_EQ(check("ChkWholeCell")->value(), 1);
    EXPECT_EQ(check("ChkMatchCase")->value(), 2);
    EXPECT_EQ(edit("txtRows(0)")->text(), QString());
    EXPECT_EQ(edit("txtRows(1)")->text(), QString());
    EXPECT_EQ(check("ChkColumns")->value(), 1);
    EXPECT_EQ(edit("CmbColumn(0)")->text(), QStringLiteral("C"));
    EXPECT_EQ(edit("CmbColumn(1)")->text(), QStringLiteral("AB"));
    EXPECT_EQ(check("ChkSheet")->value(), 0);
    EXPECT_EQ(toolControl<QComboBox>("CmbCompare")->currentIndex(), -1);
    EXPECT_TRUE(toolControl<QLineEdit>("txtDictExcel")->text().isEmpty());
}

TEST_F(ExcelScopeWindow, StoredRowTextsComeBackOnlyWithTheirBoxTickedAndUnreadableValuesFallBack)
{
    const struct {
        const char* key;
        const char* value;
    } stored[] = {
        {"ChkRows", "2"}, {"txtRows(0)", "5"}, {"txtRows(1)", "9"}, // grey is not ticked: texts stay empty
        {"ChkColumns", "1"}, {"CmbColumn(0)", "b"}, {"CmbColumn(1)", "d"},
        {"ChkMatchCase", "yes"}, {"ChkXlsWildcard", "7"},
    };
    for (const auto& entry : stored)
        m_store->write(kSection, QString::fromLatin1(entry.key), QString::fromLatin1(entry.value));
    openTool();
    EXPECT_EQ(check("ChkRows")->value(), 2);
    EXPECT_EQ(edit("txtRows(0)")->text(), QString());
    EXPECT_EQ(edit("CmbColumn(0)")->text(), QStringLiteral("B"));
    EXPECT_EQ(edit("CmbColumn(1)")->text(), QStringLiteral("D"));
    EXPECT_EQ(check("ChkMatchCase")->value(), 2);
    EXPECT_EQ(check("ChkXlsWildcard")->value(), 0);
}

TEST_F(ExcelScopeWindow, GreyOptionsCountAsOnExceptWholeCellAndTheScopeBoxes)
{
    const struct {
        int value; // given to all five options, ChkRows and ChkColumns
        bool matchCase, wholeCell, wildcards, sheetNames, pageHeaders, rowScope;
    } cases[] = {
        {0, false, false, false, false, false, false},
        {1, true, true, true, true, true, true},
        {2, true, false, true, true, true, false},
    };
    for (const auto& c : cases) {
        for (const char* key : {"ChkMatchCase", "ChkWholeCell", "ChkXlsWildcard", "ChkXlsSheetName",
                                "ChkXlsPageHeader", "ChkRows", "ChkColumns"})
            m_store->write(kSection, QString::fromLatin1(key), QString::number(c.value));
        m_store->write(kSection, QStringLiteral("txtRows(0)"), QStringLiteral("3"));
        m_store->write(kSection, QStringLiteral("txtRows(1)"), QStringLiteral("4"));
        m_store->write(kSection, QStringLiteral("CmbColumn(0)"), QStringLiteral("A"));
        m_store->write(kSection, QStringLiteral("CmbColumn(1)"), QStringLiteral("B"));
        openTool();
        fillInputs();
        m_runs.clear();
        run();
        ASSERT_EQ(m_runs.size(), 1) << c.value;
        const ExcelScopeOptions& options = m_runs.first();
        EXPECT_EQ(options.matchCase, c.matchCase) << c.value;
        EXPECT_EQ(options.wholeCell, c.wholeCell) << c.value;
        EXPECT_EQ(options.wildcards, c.wildcards) << c.value;
        EXPECT_EQ(options.sheetNames, c.sheetNames) << c.value;
        EXPECT_EQ(options.pageHeaders, c.pageHeaders) << c.value;
        EXPECT_EQ(options.rowScope, c.rowScope) << c.value;
        EXPECT_EQ(options.columnScope, c.rowScope) << c.value;
        EXPECT_FALSE(options.sheetScope);
        closeTool();
    }
}

TEST_F(ExcelScopeWindow, RunShowsItsCountAndProgressHoldsTheWindowAndAlwaysGivesItBack)
{
    openTool();
    fillInputs();
    QSemaphore started;
    QSemaphore proceed;
    bool fail = false;
    m_tool->setRunner([&](const ExcelScopeOptions&, const QString&, const QStringList&, UserInterface& ui,
                          const Window::RunReports& reports) {
        reports.definitionCount(3);
        reports.progress(1);
        reports.progress(2);
        started.release();
        proceed.acquire();
        if (fail)
            throw std::runtime_error("workbook locked");
        ui.progress(QStringLiteral("处理完毕！"));
        return ExcelScopeSummary{3, 2, 2, 0};
    });

    for (const bool failing : {false, true}) {
        fail = failing;
        MessageBox::clearShown();
        click(toolControl<QPushButton>("CmdRun"));
        ASSERT_TRUE(waitFor([&] { return started.tryAcquire(); }));
        ASSERT_TRUE(waitFor([&] {
            return toolControl<QLabel>("lblProcessing")->text() == QStringLiteral("正在处理第 2 个文件");
        }));
        EXPECT_EQ(toolControl<QLabel>("lbl_IRepCount")->text(), QStringLiteral("替换定义：3 条"));
        EXPECT_FALSE(toolControl<QPushButton>("CmdRun")->isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        m_tool->close(); // refused while the run goes on
        EXPECT_TRUE(m_tool->isVisible());
        proceed.release();
        ASSERT_TRUE(waitFor([&] { return !m_tool->isRunning(); }));

        // A run that broke off shows where it stopped.
        EXPECT_EQ(toolControl<QLabel>("lblProcessing")->text(),
                  failing ? QStringLiteral("正在处理第 2 个文件") : QStringLiteral("处理完毕！"))
            << failing;
        EXPECT_TRUE(toolControl<QPushButton>("CmdRun")->isEnabled()) << failing;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << failing;
        if (failing) {
            ASSERT_EQ(MessageBox::shown().size(), 1);
            EXPECT_EQ(MessageBox::shown().first().icon, MessageBox::Icon::Error);
            EXPECT_TRUE(MessageBox::shown().first().text.contains(QStringLiteral("workbook locked")));
        } else {
            EXPECT_TRUE(messages().isEmpty());
        }
    }
    closeTool();
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(ExcelScopeWindow, ARunReplacesWithinTheRowsAndEndsWithItsMessageAndProgress)
{
    openTool(true);
    fillInputs();
    MiniWorkbook dictionary;
    dictionary.sheets = {inlineRow(1, {QStringLiteral("旧"), QStringLiteral("新")})};
    dictionary.write(path(QStringLiteral("dict.xlsx")));
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {QStringLiteral("旧")}) + inlineRow(2, {QStringLiteral("旧")})};
    book.write(path(QStringLiteral("book.xlsx")));
    QTest::keyClicks(edit("txtRows(0)"), QStringLiteral("2"));
    QTest::keyClicks(edit("txtRows(1)"), QStringLiteral("2"));
    MessageBox::clearShown();
    run();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("替换完毕！")});
    EXPECT_EQ(toolControl<QLabel>("lbl_IRepCount")->text(), QStringLiteral("替换定义：1 条"));
    EXPECT_EQ(toolControl<QLabel>("lblProcessing")->text(), QStringLiteral("处理完毕！"));
    EXPECT_EQ(xlsxCellText(path(QStringLiteral("book.xlsx")), 0, QStringLiteral("A1")), QStringLiteral("旧"));
    EXPECT_EQ(xlsxCellText(path(QStringLiteral("book.xlsx")), 0, QStringLiteral("A2")), QStringLiteral("新"));
}

TEST_F(ExcelScopeWindow, ARunThatDoesNotStartSaysWhyLeavesTheProgressAsItWasAndGivesTheWindowBack)
{
    openTool(true);
    fillInputs(); // the workbook does not exist: nothing may touch it
    const QString dictionary = path(QStringLiteral("dict.xlsx"));
    const struct {
        const char* name;
        std::function<void()> prepare;
        const char16_t* message; // the start of the one message
    } cases[] = {
        {"missing dictionary", [] {}, u"无法读取替换定义Excel工作簿：“"},
        {"empty dictionary",
         [&] {
             MiniWorkbook book; // column A empty: no definition
             book.sheets = {inlineRow(1, {QString(), QStringLiteral("B")})};
             book.write(dictionary);
         },
         u"替换定义Excel工作簿：“"},
    };
    for (const auto& c : cases) {
        c.prepare();
        toolControl<QLabel>("lblProcessing")->setText(QStringLiteral("正在处理第 3 个文件"));
        MessageBox::clearShown();
        run();
        ASSERT_EQ(MessageBox::shown().size(), 1) << c.name;
        EXPECT_TRUE(MessageBox::shown().first().text.startsWith(QString::fromUtf16(c.message))) << c.name;
        EXPECT_EQ(toolControl<QLabel>("lblProcessing")->text(), QStringLiteral("正在处理第 3 个文件")) << c.name;
        EXPECT_TRUE(toolControl<QPushButton>("CmdRun")->isEnabled()) << c.name;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.name;
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("book.xlsx")))) << c.name;
    }
}

TEST_F(ExcelScopeWindow, DictionaryBoxTakesTheFirstDroppedFileWhenItIsAnXlsOrXlsxWorkbook)
{
    openTool();
    const struct {
        QStringList dropped;
        bool taken;
    } cases[] = {
        {{QStringLiteral("/d/a.XLS")}, true},
        {{QStringLiteral("/d/b.xlsx"), QStringLiteral("/d/c.txt")}, true},
        {{QStringLiteral("/d/c.xlsm")}, false},
        {{QStringLiteral("/d/d.txt"), QStringLiteral("/d/e.xls")}, false},
        {{QStringLiteral("/d.xls/readme")}, false},
    };
    auto* box = toolControl<QLineEdit>("txtDictExcel");
    for (const auto& c : cases) {
        box->setText(QStringLiteral("before"));
        m_tool->txtDictExcel_OLEDragDrop(c.dropped);
        EXPECT_EQ(box->text(), c.taken ? c.dropped.first() : QStringLiteral("before")) << c.dropped.first().toStdString();
    }
}

TEST_F(ExcelScopeWindow, FileListTakesWorkbooksOnlyKeepsRepeatedDropsAndOffersExcelInTheAddDialog)
{
    openTool();
    ui::FileListPanel& list = m_tool->fileList();
    const QString xls = path(QStringLiteral("a.XLS"));
    const QString xlsx = path(QStringLiteral("b.xlsx"));
    const QString xlsm = path(QStringLiteral("c.xlsm"));
    list.ListView2_OLEDragDrop({xls, xlsx, xlsm, path(QStringLiteral("d.docx")), path(QStringLiteral("e.txt")), xls});
    EXPECT_EQ(list.model().paths(), (QStringList{xls, xlsx, xlsm, xls}));
    EXPECT_EQ(toolControl<QLabel>("lblInput")->text(), QStringLiteral("待处理文件4项"));

    click(toolControl<QPushButton>("CmdFileOp(0)")); // cancelled
    ASSERT_FALSE(FileDialog::requests().isEmpty());
    EXPECT_EQ(FileDialog::requests().last().filter,
              QStringLiteral("Excel工作簿(*.xls;*.xlsx;*.xlsm)|*.xls;*.xlsx;*.xlsm"));
    EXPECT_TRUE(FileDialog::requests().last().folder.isEmpty());
}

TEST_F(ExcelScopeWindow, AddFolderTakesXlsAndXlsxWorkbooksOnlyAndRemembersNothing)
{
    makeFiles(m_dir.path(), {"books/a.xls", "books/b.XLSX", "books/c.xlsm", "books/d.txt", "books/s/e.xlsx"});
    m_store->write(QStringLiteral("Option"), QStringLiteral("G_INI_ADD_DIR"), path(QStringLiteral("books")));
    openTool();
    answerDialog([&](QDialog& dialog) {
        EXPECT_EQ(findIn<QLabel>(dialog, "Label1")->text(), QStringLiteral("添加以下文件夹下的所有工作簿："));
        EXPECT_EQ(findIn<QCheckBox>(dialog, "ChkSubdir")->text(), QStringLiteral("包括该目录子目录中的Excel工作簿"));
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(findIn<QCheckBox>(dialog, QStringLiteral("ChkSuffix(%1)").arg(i))->isHidden()) << i;
        EXPECT_TRUE(findIn<QComboBox>(dialog, "Combo1")->isHidden());
        EXPECT_TRUE(findIn<QComboBox>(dialog, "Combo2")->isHidden());
        EXPECT_TRUE(findIn<QLineEdit>(dialog, "txtFolder")->text().isEmpty());
        findIn<QLineEdit>(dialog, "txtFolder")->setText(path(QStringLiteral("books")));
        auto* ok = findIn<QPushButton>(dialog, "CmdOK");
        EXPECT_TRUE(ok->isEnabled());
        click(ok);
    });
    click(toolControl<QPushButton>("CmdFileOp(1)"));
    ASSERT_TRUE(waitFor([&] { return !m_tool->fileList().isScanning(); }));
    QStringList paths = m_tool->fileList().model().paths();
    ASSERT_EQ(paths.size(), 3);
    EXPECT_EQ(paths.takeLast(), path(QStringLiteral("books/s/e.xlsx"))); // subfolders after the folder's own files
    paths.sort();
    EXPECT_EQ(paths, (QStringList{path(QStringLiteral("books/a.xls")), path(QStringLiteral("books/b.XLSX"))}));
    EXPECT_EQ(toolControl<QLabel>("lblInput")->text(), QStringLiteral("待处理文件3项"));
}

TEST_F(ExcelScopeWindow, WithoutTheNewExcelFormatsTheDialogsAndDropsOfferXlsOnly)
{
    m_oldFormatsOnly = true;
    openTool();
    FileDialog::setNextFileName(path(QStringLiteral("dict.xls")));
    click(toolControl<QPushButton>("Command2"));
    ASSERT_EQ(FileDialog::requests().size(), 1);
    EXPECT_EQ(FileDialog::requests().last().filter, QStringLiteral("(*.xls)|*.xls"));
    EXPECT_EQ(toolControl<QLineEdit>("txtDictExcel")->text(), path(QStringLiteral("dict.xls")));

    click(toolControl<QPushButton>("CmdFileOp(0)"));
    ASSERT_EQ(FileDialog::requests().size(), 2);
    EXPECT_EQ(FileDialog::requests().last().filter, QStringLiteral("Excel工作簿(*.xls)|*.xls"));
    ui::FileListPanel& list = m_tool->fileList();
    list.ListView2_OLEDragDrop({path(QStringLiteral("a.xls")), path(QStringLiteral("b.xlsx")), path(QStringLiteral("c.xlsm"))});
    EXPECT_EQ(list.model().paths(), QStringList{path(QStringLiteral("a.xls"))});
}

} // namespace
