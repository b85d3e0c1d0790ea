#include "WindowFixture.h"

#include "ui/FileListPanel.h"
#include "ui/tools/frmSBC.h"

#include "support/DocxStories.h"

#include <QApplication>
#include <QPointer>
#include <QRadioButton>
#include <QTreeView>

using namespace varnel;
using namespace varnel::test;

namespace {

using Converter = WindowTest;

QPointer<ui::frmSBC> openConverter(ui::frmMain& main)
{
    auto* combo = findIn<QComboBox>(main, QStringLiteral("CmbFunc"));
    combo->setCurrentIndex(1);
    main.CmbFunc_Click(1);
    QPointer<ui::frmSBC> tool;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* sbc = qobject_cast<ui::frmSBC*>(widget); sbc && sbc->isVisible())
            tool = sbc;
    return tool;
}

} // namespace

TEST_F(Converter, OpensFromTheFunctionSwitchConvertsTextAndWordFilesAndReturnsToTheMainWindow)
{
    registerOfficeEngines(m_engines);
    openWindow();
    control<QLineEdit>("txtLog")->setText(path("run.log"));
    QPointer<ui::frmSBC> tool = openConverter(*m_window);
    ASSERT_TRUE(tool);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(tool->windowTitle(), QStringLiteral("Varnel - 5.45 -  Word、Txt文档全角/半角替换"));
    EXPECT_EQ(findIn<QLabel>(*tool, "lblInput")->text(), QStringLiteral("待处理文件：0项"));
    EXPECT_TRUE(findIn<QRadioButton>(*tool, "OptSBC2DBC")->isChecked());
    EXPECT_EQ(findIn<QPushButton>(*tool, "OKButton")->text(), QStringLiteral("批量替换"));

    // An empty list only says so.
    click(findIn<QPushButton>(*tool, "OKButton"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("没有需要处理的文档！")});
    MessageBox::clearShown();

    const QString text = path("a.txt");
    writeFile(text, "ab,1");
    const QString docx = path("b.docx");
    writeFile(docx, readFile(dataPath("office/docx/06_textbox_notes.docx")));
    const QString header = readDocx(docx).stories.at(office::WordStory::Kind::HeaderFooter);
    tool->fileList().ListView2_OLEDragDrop({text, docx, path("c.htm"), path("d.xlsx")}); // Word and text only
    EXPECT_EQ(tool->fileList().model().paths(), (QStringList{text, docx}));
    click(findIn<QPushButton>(*tool, "CmdFileOp(0)")); // cancelled: no file queued
    ASSERT_FALSE(FileDialog::requests().isEmpty());
    EXPECT_EQ(FileDialog::requests().last().filter,
              QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf|文本文件(*.txt)|*.txt"));
    EXPECT_EQ(tool->fileList().model().count(), 2);

    click(findIn<QRadioButton>(*tool, "OptDBC2SBC"));
    ASSERT_TRUE(findIn<QRadioButton>(*tool, "OptDBC2SBC")->isChecked());
    click(findIn<QPushButton>(*tool, "OKButton"));
    ASSERT_TRUE(waitFor([&] { return !tool->isRunning(); }));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("替换完毕！")});
    EXPECT_EQ(findIn<QLabel>(*tool, "lblProcessing")->text(), QStringLiteral("处理完毕！"));
    EXPECT_TRUE(findIn<QPushButton>(*tool, "OKButton")->isEnabled());

    EXPECT_EQ(readFile(text), "\xA3\xE1\xA3\xE2\xA3\xAC\xA3\xB1");
    const DocxTexts converted = readDocx(docx);
    EXPECT_TRUE(converted.stories.at(office::WordStory::Kind::Main).startsWith(QStringLiteral("Ｂｏｄｙ ｏｌｄ ｔｅｘｔ")));
    EXPECT_TRUE(converted.boldTexts.contains(QStringLiteral("ｏｒ"))) << "the bold run of \"or\" keeps its bold";
    EXPECT_EQ(converted.stories.at(office::WordStory::Kind::HeaderFooter), header);

    click(findIn<QPushButton>(*tool, "CancelButton"));
    EXPECT_TRUE(waitFor([&] { return tool.isNull(); }));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(control<QComboBox>("CmbFunc")->currentIndex(), 0);
    EXPECT_EQ(m_store->read(QStringLiteral("SBCDBC"), QStringLiteral("Cmd"), {}), QStringLiteral("1"));

    // Reopened, it selects the mode it was closed with.
    tool = openConverter(*m_window);
    ASSERT_TRUE(tool);
    EXPECT_TRUE(findIn<QRadioButton>(*tool, "OptDBC2SBC")->isChecked());
    tool->close();
    EXPECT_TRUE(waitFor([&] { return tool.isNull(); }));
}

TEST_F(Converter, WithoutALogPathAsksForOneAndConvertsNothing)
{
    registerOfficeEngines(m_engines);
    m_store->write(QStringLiteral("SBCDBC"), QStringLiteral("Cmd"), QStringLiteral("2"));
    openWindow();
    control<QLineEdit>("txtLog")->setText(QStringLiteral("  "));
    QPointer<ui::frmSBC> tool = openConverter(*m_window);
    ASSERT_TRUE(tool);
    EXPECT_TRUE(findIn<QRadioButton>(*tool, "OptPunctuationSBC2DBC")->isChecked());
    const QString text = path("a.txt");
    writeFile(text, "a,b");
    tool->fileList().ListView2_OLEDragDrop({text});
    FileDialog::setNextFileName(path("chosen.log"));
    click(findIn<QPushButton>(*tool, "OKButton"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("请输入日志文件名！")});
    EXPECT_EQ(control<QLineEdit>("txtLog")->text(), path("chosen.log"));
    EXPECT_FALSE(tool->isRunning());
    EXPECT_EQ(readFile(text), "a,b");
    tool->close();
    EXPECT_TRUE(waitFor([&] { return tool.isNull(); }));
    EXPECT_EQ(m_store->read(QStringLiteral("SBCDBC"), QStringLiteral("Cmd"), {}), QStringLiteral("2"));
}

TEST_F(Converter, FileListTakesEveryDropCountsInItemsAndForgetsTheAddFilesFolder)
{
    registerOfficeEngines(m_engines);
    m_store->write(QStringLiteral("Option"), QStringLiteral("G_INI_AddFile_Path"), m_dir.path());
    openWindow();
    QPointer<ui::frmSBC> tool = openConverter(*m_window);
    ASSERT_TRUE(tool);
    ui::FileListPanel& list = tool->fileList();
    auto* lblInput = findIn<QLabel>(*tool, "lblInput");

    // A drop appends what it admits without looking for rows that hold the same path.
    const QString text = path("a.txt");
    list.ListView2_OLEDragDrop({text});
    list.ListView2_OLEDragDrop({text});
    EXPECT_EQ(list.model().paths(), (QStringList{text, text}));
    EXPECT_EQ(lblInput->text(), QStringLiteral("待处理文件2项"));

    // The add-files dialog starts in its own default folder each time: neither the main window's folder
    // nor the one chosen last is used, and the main window's folder stays as it was.
    FileDialog::setNextFileName(path("sub/b.doc"));
    click(findIn<QPushButton>(*tool, "CmdFileOp(0)"));
    click(findIn<QPushButton>(*tool, "CmdFileOp(0)")); // cancelled
    ASSERT_EQ(FileDialog::requests().size(), 2);
    EXPECT_EQ(FileDialog::requests().at(0).folder, QString());
    EXPECT_EQ(FileDialog::requests().at(1).folder, QString());
    EXPECT_EQ(m_window->settings().addFilePath, m_dir.path());
    EXPECT_EQ(list.model().count(), 3);

    // Remove and clear count in "项" as well.
    findIn<QTreeView>(*tool, "ListView2")->selectionModel()->select(list.model().index(0),
                                                                      QItemSelectionModel::Select);
    click(findIn<QPushButton>(*tool, "CmdFileOp(2)"));
    EXPECT_EQ(lblInput->text(), QStringLiteral("待处理文件2项"));
    MessageBox::setNextAnswer(MessageBox::Answer::Yes);
    click(findIn<QPushButton>(*tool, "CmdFileOp(3)"));
    EXPECT_EQ(lblInput->text(), QStringLiteral("待处理文件0项"));
    tool->close();
    EXPECT_TRUE(waitFor([&] { return tool.isNull(); }));
}

TEST_F(Converter, EveryListCommandRefusesPathsWithAQuestionMarkAfterTheFirstCharacter)
{
    registerOfficeEngines(m_engines);
    openWindow();
    QPointer<ui::frmSBC> tool = openConverter(*m_window);
    ASSERT_TRUE(tool);
    ui::FileListPanel& list = tool->fileList();
    auto* lblInput = findIn<QLabel>(*tool, "lblInput");
    const QString plain = path("a.txt");
    const QString odd = path("b?.txt");
    const QString odder = path("c?.doc");

    // A drop takes the names as they are; the next command, here a remove with nothing selected, sweeps
    // them out, one message per row, last row first.
    list.ListView2_OLEDragDrop({odd, plain, odder});
    EXPECT_EQ(list.model().count(), 3);
    EXPECT_TRUE(messages().isEmpty());
    click(findIn<QPushButton>(*tool, "CmdFileOp(2)"));
    const QString tail = QStringLiteral("”。\n建议改名后再添加该文件。");
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("不能识别含有特殊字符的文件名：“") + odder + tail,
                                       QStringLiteral("不能识别含有特殊字符的文件名：“") + odd + tail}));
    EXPECT_EQ(list.model().paths(), QStringList{plain});
    EXPECT_EQ(lblInput->text(), QStringLiteral("待处理文件1项"));
    MessageBox::clearShown();

    // Added files are swept the same way.
    FileDialog::setNextFileNames({odd, path("d.txt")});
    click(findIn<QPushButton>(*tool, "CmdFileOp(0)"));
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(list.model().paths(), (QStringList{plain, path("d.txt")}));
    tool->close();
    EXPECT_TRUE(waitFor([&] { return tool.isNull(); }));
}

TEST_F(Converter, AddFolderOffersWordAndTextPatternsAndRemembersNothing)
{
    registerOfficeEngines(m_engines);
    makeFiles(m_dir.path(), {"docs/a.doc", "docs/b.DOCX", "docs/c.txt", "docs/d.xls", "docs/s/e.txt"});
    m_store->write(QStringLiteral("Option"), QStringLiteral("G_INI_ADD_DIR"), path("docs"));
    m_store->write(QStringLiteral("Option"), QStringLiteral("G_INI_ADD_EXT"), QStringLiteral("*.xls"));
    openWindow();
    QPointer<ui::frmSBC> tool = openConverter(*m_window);
    ASSERT_TRUE(tool);
    ui::FileListPanel& list = tool->fileList();
    const auto addFolder = [&](const std::function<void(QDialog&)>& answer) {
        answerDialog(answer);
        click(findIn<QPushButton>(*tool, "CmdFileOp(1)"));
        ASSERT_TRUE(waitFor([&] { return !list.isScanning(); }));
    };

    // The custom pattern comes from Combo2 ("*.doc", "*.docx", "*.txt"); Excel and PowerPoint cannot be
    // ticked and the folder box starts empty.
    addFolder([&](QDialog& dialog) {
        EXPECT_TRUE(findIn<QLineEdit>(dialog, "txtFolder")->text().isEmpty());
        EXPECT_FALSE(findIn<QCheckBox>(dialog, "ChkSuffix(1)")->isEnabled());
        EXPECT_FALSE(findIn<QCheckBox>(dialog, "ChkSuffix(2)")->isEnabled());
        EXPECT_TRUE(findIn<QComboBox>(dialog, "Combo1")->isHidden());
        auto* combo2 = findIn<QComboBox>(dialog, "Combo2");
        EXPECT_FALSE(combo2->isHidden());
        QStringList patterns;
        for (int i = 0; i < combo2->count(); ++i)
            patterns.append(combo2->itemText(i));
        EXPECT_EQ(patterns, (QStringList{"*.doc", "*.docx", "*.txt"}));
        findIn<QLineEdit>(dialog, "txtFolder")->setText(path("docs"));
        click(findIn<QCheckBox>(dialog, "ChkSuffix(3)"));
        combo2->setCurrentIndex(2);
        findIn<QCheckBox>(dialog, "ChkSubdir")->setChecked(false);
        click(findIn<QPushButton>(dialog, "CmdOK"));
    });
    EXPECT_EQ(list.model().paths(), QStringList{path("docs/c.txt")});
    EXPECT_EQ(findIn<QLabel>(*tool, "lblInput")->text(), QStringLiteral("待处理文件1项"));

    // The Word box takes .doc and .docx in any letter case; the folder of last time is not preset.
    addFolder([&](QDialog& dialog) {
        EXPECT_TRUE(findIn<QLineEdit>(dialog, "txtFolder")->text().isEmpty());
        findIn<QLineEdit>(dialog, "txtFolder")->setText(path("docs"));
        click(findIn<QCheckBox>(dialog, "ChkSuffix(0)"));
        findIn<QCheckBox>(dialog, "ChkSubdir")->setChecked(false);
        click(findIn<QPushButton>(dialog, "CmdOK"));
    });
    EXPECT_EQ(list.model().paths(), (QStringList{path("docs/c.txt"), path("docs/a.doc"), path("docs/b.DOCX")}));
    tool->close();
    EXPECT_TRUE(waitFor([&] { return tool.isNull(); }));
}
