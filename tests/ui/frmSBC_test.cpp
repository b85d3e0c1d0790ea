#include "WindowFixture.h"

#include "office/docx/DocxDocument.h"
#include "office/docx/WordStoryText.h"
#include "ui/FileListPanel.h"
#include "ui/tools/frmSBC.h"

#include <QApplication>
#include <QPointer>
#include <QRadioButton>

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

// The text of each story kind of a .docx, and whether a w:t holding `bold` sits in a bold run.
QString storyText(const QString& path, office::WordStory::Kind kind, const QString& bold = {}, bool* isBold = nullptr)
{
    QString error;
    const auto document = office::DocxDocument::open(path, &error);
    EXPECT_TRUE(document) << error.toStdString();
    QString text;
    for (const office::WordStory& story : document->stories()) {
        if (story.kind != kind || story.shadow)
            continue;
        const office::WordStoryText reader(document->names(story.part), story.container);
        for (const auto& segment : reader.segments()) {
            text += segment.text;
            for (const auto& piece : segment.pieces)
                if (isBold && piece.kind == office::WordAtom::Text && QString::fromUtf8(piece.node.text().get()) == bold)
                    *isBold = bool(piece.node.parent().child("w:rPr").child("w:b"));
        }
    }
    return text;
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
    const QString header = storyText(docx, office::WordStory::Kind::HeaderFooter);
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
    bool bold = false;
    EXPECT_TRUE(storyText(docx, office::WordStory::Kind::Main, QStringLiteral("ｏｒ"), &bold)
                    .startsWith(QStringLiteral("Ｂｏｄｙ ｏｌｄ ｔｅｘｔ")));
    EXPECT_TRUE(bold);
    EXPECT_EQ(storyText(docx, office::WordStory::Kind::HeaderFooter), header);

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
