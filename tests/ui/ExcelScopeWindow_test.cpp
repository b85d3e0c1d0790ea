// The Excel scope window: its controls, input filters, self-ticking scope boxes and the checks before a
// run, driven headless through the message box and file dialog hooks.

#include "ExcelScopeWindowFixture.h"

#include <QAbstractItemView>
#include <QClipboard>

using namespace varnel;
using namespace varnel::test;
using excelscope::ExcelScopeOptions;
using excelscope::ExcelScopeSummary;

namespace {

TEST_F(ExcelScopeWindow, OpensFromTheFunctionSwitchWithItsControlsAndReturnsToTheMainWindow)
{
    openTool();
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_tool->windowTitle(), QStringLiteral("Varnel - 5.45 -  Excel工作簿限范围替换"));
    const struct {
        const char* name;
        const char16_t* caption;
    } captions[] = {
        {"ChkMatchCase", u"区分大小写（全角半角）"},
        {"ChkXlsPageHeader", u"替换Excel文档页眉页脚"},
        {"ChkXlsSheetName", u"替换Excel文档中工作表名称"},
        {"ChkWholeCell", u"替换Excel文档时单元格匹配"},
        {"ChkXlsWildcard", u"使用通配符替换Excel文档"},
        {"Command2", u"..."},
        {"CmdFileOp(0)", u"添加文件"},
        {"CmdFileOp(3)", u"全部清空"},
        {"CmdRun", u"替 换"},
        {"CmdBack", u"返回"},
        {"ChkRows", u"限定替换行范围："},
        {"ChkColumns", u"限定替换列范围："},
        {"ChkSheet", u"限定替换工作表："},
    };
    for (const auto& entry : captions)
        EXPECT_EQ(toolControl<QAbstractButton>(entry.name)->text(), QString::fromUtf16(entry.caption)) << entry.name;
    for (const char* name : {"txtDictExcel", "txtRows(0)", "txtRows(1)", "CmbColumn(0)", "CmbColumn(1)",
                             "CmbCompare", "txtSheetName", "ListView2"})
        EXPECT_FALSE(toolControl(name)->accessibleName().isEmpty()) << name;
    EXPECT_FALSE(toolControl<QLabel>("Picture1")->pixmap().isNull());
    EXPECT_EQ(toolControl<QLabel>("lbl_IRepCount")->text(), QString());
    EXPECT_EQ(toolControl<QLabel>("lblInput")->text(), QString());

    auto* first = toolControl<QComboBox>("CmbColumn(0)");
    auto* last = toolControl<QComboBox>("CmbColumn(1)");
    ASSERT_EQ(first->count(), 26);
    EXPECT_EQ(first->itemText(25), QStringLiteral("Z"));
    ASSERT_EQ(last->count(), 52);
    EXPECT_EQ(last->itemText(26), QStringLiteral("AA"));
    EXPECT_EQ(last->itemText(51), QStringLiteral("AZ"));
    EXPECT_EQ(first->currentText(), QString());
    EXPECT_EQ(last->currentText(), QString());
    EXPECT_EQ(toolControl<QComboBox>("CmbCompare")->count(), 5);
    EXPECT_EQ(toolControl<QComboBox>("CmbCompare")->currentIndex(), -1);
    EXPECT_FALSE(toolControl("txtSheetName")->isVisibleTo(m_tool));

    click(toolControl<QPushButton>("CmdBack"));
    EXPECT_TRUE(waitFor([this] { return m_tool.isNull(); }));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(control<QComboBox>("CmbFunc")->currentIndex(), 0);
}

TEST_F(ExcelScopeWindow, TabGoesFromTheFileListThroughTheDictionaryOptionsAndScopeToTheButtons)
{
    openTool();
    QStringList order;
    // The chain as Tab follows it from the window, which is where the focus starts.
    for (QWidget* widget = m_tool->nextInFocusChain(); widget != m_tool; widget = widget->nextInFocusChain())
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(m_tool) && !widget->objectName().isEmpty())
            order.append(widget->objectName());
    EXPECT_EQ(order, (QStringList{"ListView2", "CmdFileOp(0)", "CmdFileOp(1)", "CmdFileOp(2)", "CmdFileOp(3)",
                                  "txtDictExcel", "Command2", "ChkMatchCase", "ChkWholeCell", "ChkXlsWildcard",
                                  "ChkXlsPageHeader", "ChkXlsSheetName", "ChkRows", "txtRows(0)", "txtRows(1)",
                                  "ChkColumns", "CmbColumn(0)", "CmbColumn(1)", "ChkSheet", "CmbCompare", "CmdRun",
                                  "CmdBack"}));
}

TEST_F(ExcelScopeWindow, RowBoxesTakeDigitsAndColumnBoxesCapitalLettersTypedOrPasted)
{
    openTool();
    const struct {
        const char* box;
        const char* typed;
        const char* pasted;
        const char16_t* expected;
    } cases[] = {
        {"CmbColumn(0)", "b", "", u"B"},
        {"CmbColumn(1)", "1", "", u""},
        {"CmbColumn(1)", "aZ", "", u"AZ"},
        {"CmbColumn(0)", "", "c-e 1", u"CE"},
        {"txtRows(0)", "x", "", u""},
        {"txtRows(1)", "12", "", u"12"},
        {"txtRows(0)", "", "2-100", u"2100"},
    };
    for (const auto& c : cases) {
        QLineEdit* box = edit(c.box);
        ASSERT_NE(box, nullptr);
        box->clear();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        if (*c.pasted) {
            QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
            box->paste();
        }
        EXPECT_EQ(box->text(), QString::fromUtf16(c.expected)) << c.box << " " << c.typed << c.pasted;
        QTest::keyClick(box, Qt::Key_Backspace);
    }
}

TEST_F(ExcelScopeWindow, FilledConditionsTickTheirBoxesWhichOnlyAPersonClears)
{
    openTool();
    auto* chkRows = check("ChkRows");
    QTest::keyClicks(edit("txtRows(0)"), QStringLiteral("2"));
    EXPECT_EQ(chkRows->value(), 0);
    QTest::keyClicks(edit("txtRows(1)"), QStringLiteral("100"));
    EXPECT_EQ(chkRows->value(), 1);
    edit("txtRows(1)")->clear();
    EXPECT_EQ(chkRows->value(), 1);

    auto* chkColumns = check("ChkColumns");
    toolControl<QComboBox>("CmbColumn(0)")->setCurrentIndex(2);
    EXPECT_EQ(chkColumns->value(), 0);
    toolControl<QComboBox>("CmbColumn(1)")->setCurrentIndex(30);
    EXPECT_EQ(chkColumns->value(), 1);
    click(chkColumns);
    EXPECT_EQ(chkColumns->value(), 0);
    QTest::keyClicks(edit("CmbColumn(1)"), QStringLiteral("f"));
    EXPECT_EQ(chkColumns->value(), 1);

    auto* chkSheet = check("ChkSheet");
    auto* compare = toolControl<QComboBox>("CmbCompare");
    auto* name = toolControl("txtSheetName");
    const struct {
        int index;
        bool nameShown;
    } choices[] = {{0, false}, {2, true}, {4, true}, {0, false}, {1, true}};
    for (const auto& choice : choices) {
        if (chkSheet->value() == 1)
            click(chkSheet); // cleared by hand, ticked again by the choice
        compare->setCurrentIndex(choice.index);
        EXPECT_EQ(chkSheet->value(), 1) << choice.index;
        EXPECT_EQ(name->isVisibleTo(m_tool), choice.nameShown) << choice.index;
    }
}

// Chooses item index from the drop-down list as a person does: the list opens and Return takes the item.
void chooseFromList(QComboBox* box, int index)
{
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(index, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
}

TEST_F(ExcelScopeWindow, ChoosingTheItemAlreadyShownTicksItsClearedBoxAgain)
{
    openTool();
    const struct {
        const char* box;
        const char* list;
        int index;
    } cases[] = {
        {"ChkSheet", "CmbCompare", 0},
        {"ChkSheet", "CmbCompare", 2},
        {"ChkColumns", "CmbColumn(1)", 4},
    };
    edit("CmbColumn(0)")->setText(QStringLiteral("C"));
    for (const auto& c : cases) {
        auto* box = check(c.box);
        auto* list = toolControl<QComboBox>(c.list);
        chooseFromList(list, c.index);
        ASSERT_EQ(list->currentIndex(), c.index) << c.list;
        EXPECT_EQ(box->value(), 1) << c.list;
        click(box); // cleared by hand
        ASSERT_EQ(box->value(), 0);
        chooseFromList(list, c.index); // the same item once more
        EXPECT_EQ(box->value(), 1) << c.list << " " << c.index;
        click(box);
    }
}

TEST_F(ExcelScopeWindow, StartNamesTheFirstMissingInputInOrderAndMovesTheFocusThere)
{
    openTool();
    const QString chosen = path(QStringLiteral("chosen.xlsx"));
    const struct {
        std::function<void()> fill; // done before the click
        const char16_t* message;
        const char* focus;
    } steps[] = {
        {[] {}, u"没有需要处理的文档！", nullptr},
        {[&] { m_tool->fileList().ListView2_OLEDragDrop({path(QStringLiteral("book.xlsx"))}); },
         u"请输入替换定义Excel文件！", nullptr},
        {[&] { click(check("ChkRows")); }, u"请输入数字行号！", "txtRows(0)"},
        {[&] { edit("txtRows(0)")->setText(QStringLiteral("2")); }, u"请输入数字行号！", "txtRows(1)"},
        {[&] {
             edit("txtRows(1)")->setText(QStringLiteral("100"));
             click(check("ChkColumns"));
         },
         u"请输入字母列号！", "CmbColumn(0)"},
        {[&] { edit("CmbColumn(0)")->setText(QStringLiteral("C")); }, u"请输入字母列号！", "CmbColumn(1)"},
        {[&] {
             edit("CmbColumn(1)")->setText(QStringLiteral("E"));
             click(check("ChkSheet"));
         },
         u"请选择工作表范围条件！", "CmbCompare"},
        {[&] {
             toolControl<QComboBox>("CmbCompare")->setCurrentIndex(3);
             toolControl<QLineEdit>("txtSheetName")->setText(QStringLiteral("  "));
         },
         u"请输入工作表范围条件！", "txtSheetName"},
    };
    for (const auto& step : steps) {
        step.fill();
        MessageBox::clearShown();
        m_tool->setFocus();
        click(toolControl<QPushButton>("CmdRun"));
        ASSERT_EQ(MessageBox::shown().size(), 1) << QString::fromUtf16(step.message).toStdString();
        const MessageBox::Shown& shown = MessageBox::shown().first();
        EXPECT_EQ(shown.text, QString::fromUtf16(step.message));
        EXPECT_EQ(shown.title, QStringLiteral("Varnel - 5.45"));
        EXPECT_EQ(shown.icon, MessageBox::Icon::Information);
        if (step.focus) {
            QWidget* focus = m_tool->focusWidget();
            ASSERT_NE(focus, nullptr) << step.focus;
            EXPECT_TRUE(focus == toolControl(step.focus) || focus->parentWidget() == toolControl(step.focus))
                << step.focus << " has not the focus, " << focus->objectName().toStdString() << " has";
        }
        EXPECT_FALSE(m_tool->isRunning());
        EXPECT_TRUE(m_runs.isEmpty());
        if (QString::fromUtf16(step.message) == QStringLiteral("请输入替换定义Excel文件！")) {
            // The dictionary dialog opens at once; cancelled here, so the box stays empty.
            ASSERT_EQ(FileDialog::requests().size(), 1);
            const FileDialog::Request& request = FileDialog::requests().first();
            EXPECT_EQ(request.title, QStringLiteral("替换定义Excel文件："));
            EXPECT_EQ(request.filter, QStringLiteral("(*.xls;*.xlsx)|*.xls;*.xlsx"));
            EXPECT_EQ(request.folder, QCoreApplication::applicationDirPath());
            EXPECT_TRUE(toolControl<QLineEdit>("txtDictExcel")->text().isEmpty());
            FileDialog::setNextFileName(chosen);
            click(toolControl<QPushButton>("Command2"));
            EXPECT_EQ(toolControl<QLineEdit>("txtDictExcel")->text(), chosen);
        }
    }

    // The condition "活动工作表" needs no name.
    toolControl<QComboBox>("CmbCompare")->setCurrentIndex(0);
    MessageBox::clearShown();
    run();
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
    ASSERT_EQ(m_runs.size(), 1);
    EXPECT_EQ(m_dictionary, chosen);
    EXPECT_EQ(m_workbooks, QStringList{path(QStringLiteral("book.xlsx"))});
    const ExcelScopeOptions& options = m_runs.first();
    EXPECT_TRUE(options.rowScope);
    EXPECT_EQ(options.firstRow, QStringLiteral("2"));
    EXPECT_EQ(options.lastRow, QStringLiteral("100"));
    EXPECT_TRUE(options.columnScope);
    EXPECT_EQ(options.firstColumn, QStringLiteral("C"));
    EXPECT_EQ(options.lastColumn, QStringLiteral("E"));
    EXPECT_TRUE(options.sheetScope);
    EXPECT_EQ(options.sheetCondition, excelscope::SheetCondition::Active);
}

} // namespace
