#include "WindowFixture.h"

#include "ui/FileListPanel.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>

using namespace varnel;
using namespace varnel::test;

namespace {

// A drop as the window system delivers it: the drag enters (and is accepted), then it is dropped.
void dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

} // namespace

class FileList : public WindowTest
{
protected:
    QStringList rows() { return m_window->fileList().model().paths(); }

    // Answers the add-folder dialog with a folder, a custom pattern and the subfolder choice.
    void answerAddFolder(const QString& folder, const QString& pattern, bool subfolders)
    {
        answerDialog([=](QDialog& dialog) {
            findIn<QLineEdit>(dialog, "txtFolder")->setText(folder);
            click(findIn<QCheckBox>(dialog, "ChkSuffix(3)"));
            findIn<QComboBox>(dialog, "Combo1")->setEditText(pattern);
            findIn<QCheckBox>(dialog, "ChkSubdir")->setChecked(subfolders);
            click(findIn<QPushButton>(dialog, "CmdOK"));
        });
        click(button("CmdFileOp(1)"));
        EXPECT_TRUE(waitFor([this] { return !m_window->fileList().isScanning(); }));
    }
};

TEST_F(FileList, AddFilesTakesTheChosenFilesOnceAndRemembersTheirFolder)
{
    openWindow();
    const QString a = path("docs/a.txt"), b = path("docs/b.htm");
    FileDialog::setNextFileNames({a, b});
    click(button("CmdFileOp(0)"));
    FileDialog::setNextFileNames({b, a});
    click(button("CmdFileOp(0)"));

    EXPECT_EQ(rows(), QStringList({a, b}));
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件2项"));
    EXPECT_EQ(m_window->settings().addFilePath, path("docs"));
    ASSERT_EQ(FileDialog::requests().size(), 2);
    const FileDialog::Request& second = FileDialog::requests()[1];
    EXPECT_EQ(second.kind, FileDialog::Kind::OpenMany);
    EXPECT_EQ(second.title, QStringLiteral("新增"));
    EXPECT_EQ(second.folder, path("docs"));
    EXPECT_EQ(second.filter, addFilesFilter(m_window->capabilities()));
}

TEST_F(FileList, CancelledAddFilesChangesNothing)
{
    openWindow();
    click(button("CmdFileOp(0)"));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件：0项"));
    EXPECT_TRUE(m_window->settings().addFilePath.isEmpty());
}

TEST_F(FileList, RemoveTakesTheSelectedRowsAndCountsInTheFileForm)
{
    openWindow();
    m_window->fileList().model().appendAll({"/d/1.txt", "/d/2.txt", "/d/3.txt", "/d/4.txt"});
    auto* view = control<QTreeView>("ListView2");
    view->selectionModel()->select(view->model()->index(0, 0), QItemSelectionModel::Select);
    view->selectionModel()->select(view->model()->index(2, 0), QItemSelectionModel::Select);
    control<QLabel>("lblProcessing")->setText(QStringLiteral("处理完毕！"));
    click(button("CmdFileOp(2)"));
    EXPECT_EQ(rows(), QStringList({"/d/2.txt", "/d/4.txt"}));
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件2个"));
    EXPECT_TRUE(labelText("lblProcessing").isEmpty());
}

TEST_F(FileList, ClearAsksFirstAndRefreshesTheLabelWhateverTheAnswer)
{
    openWindow();
    click(button("CmdFileOp(3)")); // empty list: no question
    EXPECT_TRUE(MessageBox::shown().isEmpty());

    m_window->fileList().model().appendAll({"/d/1.txt", "/d/2.txt"});
    MessageBox::setNextAnswer(Answer::No);
    click(button("CmdFileOp(3)"));
    ASSERT_EQ(MessageBox::shown().size(), 1);
    const MessageBox::Shown& question = MessageBox::shown().first();
    EXPECT_EQ(question.text, QStringLiteral("确定要清空处理列表吗？"));
    EXPECT_EQ(question.title, QStringLiteral("Varnel - 5.45"));
    EXPECT_EQ(question.icon, MessageBox::Icon::Question);
    EXPECT_EQ(question.buttons, MessageBox::Buttons::YesNo);
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件2个"));

    MessageBox::setNextAnswer(Answer::Yes);
    click(button("CmdFileOp(3)"));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件0个"));
}

TEST_F(FileList, DropTakesAdmittedTypesOnce)
{
    openWindow();
    auto* viewport = control<QTreeView>("ListView2")->viewport();
    dropFiles(viewport, {"/d/a.txt", "/d/b.xlsm", "/d/c.doc", "/d/d.HTML", "/d/a.txt"});
    EXPECT_EQ(rows(), QStringList({"/d/a.txt", "/d/d.HTML"}));
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件2项"));
}

TEST_F(FileList, RowClickShowsItsPathAsTooltip)
{
    openWindow();
    m_window->fileList().model().appendAll({"/d/1.txt", "/d/长名字.txt"});
    auto* view = control<QTreeView>("ListView2");
    QTest::qWait(0);
    const QRect row = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(view->toolTip(), QStringLiteral("/d/长名字.txt"));
}

TEST_F(FileList, AddFolderScansSubfoldersInOrderAndRemembersFolderAndPattern)
{
    makeFiles(m_dir.path(), {"tree/1.txt", "tree/s/2.txt", "tree/t/3.txt", "tree/s/x.htm", "tree/~$4.txt"});
    openWindow();
    m_window->fileList().model().append(path("tree/s/2.txt"));
    QSignalSpy scanning(&m_window->fileList(), &ui::FileListPanel::scanningChanged);
    bool startHeldDuringScan = false;
    QObject::connect(&m_window->fileList(), &ui::FileListPanel::scanningChanged, m_window.get(), [&](bool on) {
        if (on)
            startHeldDuringScan = !button("CmdDo")->isEnabled();
    });

    answerAddFolder(path("tree"), QStringLiteral("*.txt"), true);
    EXPECT_EQ(rows(), QStringList({path("tree/s/2.txt"), path("tree/1.txt"), path("tree/t/3.txt")}));
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件3个"));
    EXPECT_TRUE(startHeldDuringScan);
    EXPECT_TRUE(button("CmdDo")->isEnabled());
    EXPECT_EQ(scanning.size(), 2);
    EXPECT_EQ(m_window->settings().addDir, path("tree"));
    EXPECT_EQ(m_window->settings().addExt, QStringLiteral("*.txt"));

    // The dialog opens again on the folder and pattern of last time.
    answerDialog([&](QDialog& dialog) {
        EXPECT_EQ(findIn<QLineEdit>(dialog, "txtFolder")->text(), path("tree"));
        EXPECT_EQ(findIn<QComboBox>(dialog, "Combo1")->currentText(), QStringLiteral("*.txt"));
        click(findIn<QPushButton>(dialog, "CmdCancel"));
    });
    click(button("CmdFileOp(1)"));
    EXPECT_EQ(rows().size(), 3);
}

TEST_F(FileList, FlatScanWithStarDotStarTakesEveryFileOfTheFolderOnly)
{
    makeFiles(m_dir.path(), {"flat/README", "flat/b.bin", "flat/sub/c.txt"});
    openWindow();
    answerAddFolder(path("flat"), QStringLiteral("*.*"), false);
    EXPECT_EQ(rows(), QStringList({path("flat/b.bin"), path("flat/README")}));
}

TEST_F(FileList, AddFolderDialogFollowsTheCapabilities)
{
    openWindow();
    answerDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("选择目录："));
        auto* word = findIn<QCheckBox>(dialog, "ChkSuffix(0)");
        EXPECT_EQ(word->text(), QStringLiteral("Microsoft Word文档(*.doc)"));
        EXPECT_FALSE(word->isEnabled());
        EXPECT_FALSE(findIn<QCheckBox>(dialog, "ChkSuffix(1)")->isEnabled());
        EXPECT_FALSE(findIn<QCheckBox>(dialog, "ChkSuffix(2)")->isEnabled());
        auto* ok = findIn<QPushButton>(dialog, "CmdOK");
        auto* combo = findIn<QComboBox>(dialog, "Combo1");
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_FALSE(combo->isEnabled());
        EXPECT_EQ(combo->count(), 14);
        EXPECT_EQ(combo->currentText(), QStringLiteral("*.txt"));
        click(findIn<QCheckBox>(dialog, "ChkSuffix(3)"));
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_TRUE(combo->isEnabled());
        // The folder browser's cancel empties the folder box.
        findIn<QLineEdit>(dialog, "txtFolder")->setText("/tmp");
        click(findIn<QPushButton>(dialog, "CmdFolder"));
        EXPECT_TRUE(findIn<QLineEdit>(dialog, "txtFolder")->text().isEmpty());
        click(ok);
    });
    click(button("CmdFileOp(1)"));
    EXPECT_TRUE(rows().isEmpty());
    ASSERT_EQ(FileDialog::requests().size(), 1);
    EXPECT_EQ(FileDialog::requests().first().title, QStringLiteral("请选择一个文件夹"));
    // An empty folder stops silently and remembers nothing.
    EXPECT_TRUE(m_window->settings().addDir.isEmpty());
    EXPECT_TRUE(MessageBox::shown().isEmpty());
}
