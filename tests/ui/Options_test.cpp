#include "WindowFixture.h"

#include "ui/main/OptionsPanel.h"

#include <QGroupBox>
#include <QStyleOptionButton>

using namespace varnel;
using namespace varnel::test;

using Options = WindowTest;

TEST_F(Options, GreyBoxBecomesAnOrdinaryTickWhenClicked)
{
    openWindow();
    auto* box = control<QCheckBox>("ChkMatchCase");
    ASSERT_EQ(box->checkState(), Qt::PartiallyChecked);
    click(box);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    click(box);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    click(box);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_EQ(m_window->options().options().value(Option::MatchCase), 1);
    EXPECT_EQ(m_window->options().shared().get().value(Option::MatchCase), 1);
}

TEST_F(Options, TickingWordWildcardsWarnsOnceAndTicksMatchCase)
{
    openWindow();
    click(control<QCheckBox>("ChkMatchCase")); // grey -> ticked
    click(control<QCheckBox>("ChkMatchCase")); // ticked -> clear
    click(control<QCheckBox>("ChkMatchWildcards"));
    ASSERT_EQ(MessageBox::shown().size(), 1);
    const MessageBox::Shown& notice = MessageBox::shown().first();
    EXPECT_EQ(notice.title, QStringLiteral("提示"));
    EXPECT_EQ(notice.icon, MessageBox::Icon::Information);
    EXPECT_EQ(notice.text, QStringLiteral("使用通配符将使包括：括号()[]{}、问号？等多个符号发生转义。\r\n"
                                          "如果您不清楚什么是通配符，建议您不要勾选。"));
    EXPECT_EQ(control<QCheckBox>("ChkMatchWildcards")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ChkMatchCase")->checkState(), Qt::Checked);

    click(control<QCheckBox>("ChkMatchCase"));
    EXPECT_EQ(control<QCheckBox>("ChkMatchWildcards")->checkState(), Qt::Unchecked);
    EXPECT_EQ(MessageBox::shown().size(), 1);
}

TEST_F(Options, RestoringWildcardsTicksMatchCaseWithoutTheNotice)
{
    m_store->write("Option", "ChkMatchWildcards", "1");
    m_store->write("Option", "MatchCase", "0");
    m_store->write("Option", "ChkTxtWholeWord", "junk");
    openWindow();
    EXPECT_TRUE(MessageBox::shown().isEmpty());
    EXPECT_EQ(control<QCheckBox>("ChkMatchWildcards")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ChkMatchCase")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ChkTxtWholeWord")->checkState(), Qt::Unchecked);
    closeWindow();
    EXPECT_EQ(m_store->read("Option", "MatchCase", {}), QStringLiteral("1"));
}

TEST_F(Options, Check1AlwaysShowsATick)
{
    openWindow();
    auto* check1 = control<QCheckBox>("Check1");
    click(check1);
    EXPECT_TRUE(check1->isChecked());
    EXPECT_TRUE(check1->text().isEmpty());
}

TEST_F(Options, LogChooserPutsTheChosenPathAndCancelKeepsTheOld)
{
    openWindow();
    auto* frame5 = control<QGroupBox>("Frame5");
    auto* chooser = findIn<QPushButton>(*frame5, "Command1");
    auto* txtLog = control<QLineEdit>("txtLog");
    FileDialog::setNextFileName(path("my log.txt"));
    click(chooser);
    EXPECT_EQ(txtLog->text(), path("my log.txt"));
    click(chooser);
    EXPECT_EQ(txtLog->text(), path("my log.txt"));
    ASSERT_EQ(FileDialog::requests().size(), 2);
    const FileDialog::Request& request = FileDialog::requests().first();
    EXPECT_EQ(request.kind, FileDialog::Kind::Save);
    EXPECT_EQ(request.title, QStringLiteral("处理日志"));
    EXPECT_EQ(request.fileName, QStringLiteral("Varnel_log.txt"));
    EXPECT_EQ(request.filter, QStringLiteral("处理日志(*.txt)|*.txt"));
}

TEST(FileDialogFilter, BecomesQtNameFiltersThatReadAsTheirDescriptions)
{
    EXPECT_EQ(ui::FileDialog::qtNameFilters(QStringLiteral("WORD文件(*.doc;*.rtf)|*.doc;*.rtf|所有文件(*.*)|*.*")),
              QStringList({QStringLiteral("WORD文件(*.doc;*.rtf) (*.doc *.rtf)"), QStringLiteral("所有文件(*.*) (*)")}));
    EXPECT_EQ(ui::FileDialog::qtNameFilters(QStringLiteral("(*.xls)|*.xls")), QStringList{QStringLiteral("(*.xls) (*.xls)")});
}

// The grey first-start value is drawn as a dimmed tick: its indicator looks like the one of a ticked box
// that is disabled, not like a ticked enabled box nor like Qt's partially-checked square.
TEST_F(Options, GreyBoxShowsADimmedTick)
{
    openWindow();
    auto* grey = control<QCheckBox>("ChkMatchCase");
    ASSERT_EQ(grey->checkState(), Qt::PartiallyChecked);
    const QRect indicator = [&] {
        QStyleOptionButton option;
        option.initFrom(grey);
        return grey->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, grey);
    }();
    const auto indicatorOf = [&](QCheckBox& box) {
        box.resize(grey->size());
        return box.grab().toImage().copy(indicator).convertToFormat(QImage::Format_RGB32);
    };
    QCheckBox ticked(grey->text());
    ticked.setCheckState(Qt::Checked);
    QCheckBox dimmed(grey->text());
    dimmed.setCheckState(Qt::Checked);
    dimmed.setEnabled(false);
    QCheckBox partial(grey->text());
    partial.setTristate(true);
    partial.setCheckState(Qt::PartiallyChecked);

    const QImage shown = grey->grab().toImage().copy(indicator).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, indicatorOf(dimmed));
    EXPECT_NE(shown, indicatorOf(ticked));
    EXPECT_NE(shown, indicatorOf(partial));
}
