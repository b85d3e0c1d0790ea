#include "WindowFixture.h"

#include "definitions/DefinitionFile.h"
#include "ui/DefinitionPanel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>

using namespace varnel;
using namespace varnel::test;

class Definitions : public WindowTest
{
protected:
    DefinitionListModel& model() { return m_window->definitions().model(); }

    // Answers the next edit dialog with the texts, or cancels it when accept is false.
    void answerEdit(const QString& find, const QString& replace, bool accept = true)
    {
        answerDialog([=](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("请输入替换内容："));
            auto* txtFind = findIn<QLineEdit>(dialog, "txtFind");
            // Typed as the user's input method would: insert() goes through the same change signal.
            txtFind->clear();
            txtFind->insert(find);
            auto* txtReplace = findIn<QLineEdit>(dialog, "txtReplaceWith");
            txtReplace->clear();
            txtReplace->insert(replace);
            click(findIn<QPushButton>(dialog, accept ? "CmdOK" : "Command2"));
        });
    }

    void selectRow(int row)
    {
        auto* view = control<QTreeView>("ListView1");
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // Right-clicks the list and returns the pop-up menu it shows.
    QMenu* rightClickList()
    {
        auto* view = control<QTreeView>("ListView1");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), view->viewport()->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(view->viewport(), &event);
        return findIn<QMenu>(*view, "mnuPopup");
    }

    void setRows(std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        ReplacePairs pairs;
        for (const auto& [find, replace] : rows)
            pairs.append({QString::fromUtf8(find), QString::fromUtf8(replace)});
        model().setPairs(pairs);
    }
};

TEST_F(Definitions, AddAppendsWhatTheDialogAcceptsAndCancelKeepsTheList)
{
    openWindow();
    answerEdit(QStringLiteral("旧"), QString());
    click(button("CmdRepListView(0)"));
    answerEdit(QStringLiteral("旧"), QStringLiteral("新"));
    click(button("CmdRepListView(0)"));
    answerEdit(QStringLiteral("x"), QStringLiteral("y"), false);
    click(button("CmdRepListView(0)"));
    EXPECT_EQ(model().pairs(), ReplacePairs({{QStringLiteral("旧"), QString()}, {QStringLiteral("旧"), QStringLiteral("新")}}));
}

TEST_F(Definitions, EditDialogCannotAcceptAnEmptyFindText)
{
    openWindow();
    setRows({{"abc", "xyz"}});
    selectRow(0);
    answerDialog([](QDialog& dialog) {
        auto* txtFind = findIn<QLineEdit>(dialog, "txtFind");
        EXPECT_EQ(txtFind->text(), QStringLiteral("abc"));
        EXPECT_EQ(findIn<QLineEdit>(dialog, "txtReplaceWith")->text(), QStringLiteral("xyz"));
        auto* ok = findIn<QPushButton>(dialog, "CmdOK");
        EXPECT_TRUE(ok->isEnabled());
        txtFind->clear();
        EXPECT_FALSE(ok->isEnabled());
        click(findIn<QPushButton>(dialog, "Command2"));
    });
    click(button("CmdRepListView(2)"));
    EXPECT_EQ(model().pair(0), (ReplacePair{QStringLiteral("abc"), QStringLiteral("xyz")}));

    answerEdit(QStringLiteral(" abc "), QStringLiteral("q"));
    click(button("CmdRepListView(2)"));
    EXPECT_EQ(model().pair(0), (ReplacePair{QStringLiteral(" abc "), QStringLiteral("q")}));
}

TEST_F(Definitions, EditAndDeleteWithoutSelectionDoNothing)
{
    openWindow();
    setRows({{"a", "1"}, {"b", "2"}});
    click(button("CmdRepListView(2)"));
    click(button("CmdRepListView(1)"));
    EXPECT_EQ(model().count(), 2);
    selectRow(0);
    click(button("CmdRepListView(1)"));
    EXPECT_EQ(model().pairs(), ReplacePairs({{"b", "2"}}));
    click(button("CmdRepListView(5)"));
    EXPECT_EQ(model().count(), 0);
    EXPECT_TRUE(MessageBox::shown().isEmpty());
}

TEST_F(Definitions, RightClickMenuMovesTheSelectedRowsContents)
{
    openWindow();
    setRows({{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}});
    QMenu* menu = rightClickList();
    auto* up = findIn<QAction>(*menu, "mnuUp");
    auto* down = findIn<QAction>(*menu, "mnuDown");
    EXPECT_EQ(up->text(), QStringLiteral("上移"));
    EXPECT_EQ(down->text(), QStringLiteral("下移"));
    EXPECT_FALSE(up->isEnabled());
    EXPECT_FALSE(down->isEnabled());
    menu->hide();

    selectRow(2);
    menu = rightClickList();
    EXPECT_TRUE(up->isEnabled());
    up->trigger();
    menu->hide();
    EXPECT_EQ(model().pair(1).find, QStringLiteral("3"));
    EXPECT_EQ(model().pair(2).find, QStringLiteral("2"));
    // The selection stays on the third row, which now holds the former second.
    EXPECT_EQ(control<QTreeView>("ListView1")->selectionModel()->selectedRows().value(0).row(), 2);

    selectRow(4);
    down->trigger();
    EXPECT_EQ(model().pair(4).find, QStringLiteral("5"));
}

TEST_F(Definitions, ExportThenImportGivesTheListBackInBothFormats)
{
    openWindow();
    QDir().mkpath(path("defs"));
    const ReplacePairs rows{{"旧公司", "新公司"}, {"a", ""}, {" 空格 ", "x"}};
    for (int filter : {1, 2}) {
        SCOPED_TRACE(filter);
        const QString file = path(filter == 1 ? "defs/list.txt" : "defs/list.xml");
        model().setPairs(rows);
        FileDialog::setNextFileName(file, filter);
        click(button("CmdRepListView(3)"));
        EXPECT_EQ(MessageBox::shown().last().text, QStringLiteral("导出完成！"));
        EXPECT_EQ(MessageBox::shown().last().icon, MessageBox::Icon::Information);
        EXPECT_EQ(m_window->settings().dicFilePath, path("defs") + "/");

        model().setPairs({{"stale", "row"}});
        FileDialog::setNextFileName(file, filter);
        click(button("CmdRepListView(4)"));
        EXPECT_EQ(model().pairs(), rows);
    }
    EXPECT_EQ(readFile(path("defs/list.txt")), QByteArray("旧公司\t新公司\r\na\t\r\n 空格 \tx\r\n"));
    EXPECT_TRUE(readFile(path("defs/list.xml")).startsWith("<Replace><Item><Old>旧公司</Old><New>新公司</New></Item>"));
    const FileDialog::Request& last = FileDialog::requests().last();
    EXPECT_EQ(last.filter, QStringLiteral("TAB符分隔替换定义文件(*.txt)|*.txt|替换定义文件(*.xml)|*.xml"));
    EXPECT_EQ(last.folder, path("defs") + "/");
}

TEST_F(Definitions, FormatFollowsTheChosenFilterNotTheExtension)
{
    openWindow();
    writeFile(path("x.xml"), "a\tb\r\nc\td\r\n\r\ne\tf\r\n");
    FileDialog::setNextFileName(path("x.xml"), 1);
    click(button("CmdRepListView(4)"));
    EXPECT_EQ(model().pairs(), ReplacePairs({{"a", "b"}, {"c", "d"}}));

    EXPECT_TRUE(MessageBox::shown().isEmpty());
}

TEST_F(Definitions, FailedImportSaysWhyAndKeepsTheList)
{
    openWindow();
    writeFile(path("tab.xml"), "a\tb\r\n");
    const ReplacePairs rows{{"keep", "me"}, {"and", "me"}};
    struct Case {
        const char* file;
        int filter;
        const char* reason; // part of the reader's reason
    };
    // A TAB file read as XML does not parse; a missing file cannot be read in either format.
    for (const Case& c : {Case{"tab.xml", 2, "位置"}, Case{"missing.txt", 1, "missing.txt"}, Case{"missing.xml", 2, "missing.xml"}}) {
        SCOPED_TRACE(c.file);
        MessageBox::clearShown();
        model().setPairs(rows);
        FileDialog::setNextFileName(path(c.file), c.filter);
        click(button("CmdRepListView(4)"));
        EXPECT_EQ(model().pairs(), rows);
        ASSERT_EQ(MessageBox::shown().size(), 1);
        EXPECT_EQ(MessageBox::shown().first().icon, MessageBox::Icon::Error);
        EXPECT_TRUE(MessageBox::shown().first().text.startsWith(QStringLiteral("无法读取定义文件")));
        EXPECT_TRUE(MessageBox::shown().first().text.contains(QString::fromUtf8(c.reason)))
            << MessageBox::shown().first().text.toStdString();
    }
}

TEST_F(Definitions, CancelledExportShowsNothingAndKeepsTheFolder)
{
    openWindow();
    click(button("CmdRepListView(3)"));
    click(button("CmdRepListView(4)"));
    EXPECT_TRUE(MessageBox::shown().isEmpty());
    EXPECT_TRUE(m_window->settings().dicFilePath.isEmpty());
}

TEST_F(Definitions, ExportThatCannotBeWrittenSaysSoInsteadOfDone)
{
    openWindow();
    writeFile(path("blocker"), "a file where a folder should be");
    model().setPairs({{"a", "b"}});
    FileDialog::setNextFileName(path("blocker/list.txt"), 1);
    click(button("CmdRepListView(3)"));
    ASSERT_EQ(MessageBox::shown().size(), 1);
    EXPECT_EQ(MessageBox::shown().first().icon, MessageBox::Icon::Error);
    EXPECT_NE(MessageBox::shown().first().text, QStringLiteral("导出完成！"));
}

TEST_F(Definitions, WorkbookPathTakesOnlyADroppedWorkbookAndClearsTheCount)
{
    openWindow();
    auto* path = control<QLineEdit>("txtDictExcel");
    m_window->definitions().txtDictExcel_OLEDragDrop({"/d/book.xlsm", "/d/other.xls"});
    EXPECT_TRUE(path->text().isEmpty());
    m_window->definitions().txtDictExcel_OLEDragDrop({"/d/Book.XLSX"});
    EXPECT_EQ(path->text(), QStringLiteral("/d/Book.XLSX"));

    auto* count = control<QLabel>("lbl_IRepCount");
    count->setText(QStringLiteral("替换定义：3 条"));
    path->setText(QStringLiteral("/d/b.xls"));
    EXPECT_TRUE(count->text().isEmpty());

    m_window->definitions().selectSource(true);
    FileDialog::setNextFileName(QStringLiteral("/d/chosen.xls"));
    click(button("Command2"));
    EXPECT_EQ(path->text(), QStringLiteral("/d/chosen.xls"));
    EXPECT_EQ(FileDialog::requests().last().title, QStringLiteral("替换定义Excel文件："));
}
