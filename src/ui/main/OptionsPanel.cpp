#include "ui/main/OptionsPanel.h"

#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/OptionCheckBox.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMutexLocker>
#include <QPushButton>
#include <QStandardPaths>

namespace varnel::ui {

namespace {

// Three columns of five: general and text options, Word options, Excel and PowerPoint options.
constexpr std::array<Option, OptionCount> kPanelOrder{
    Option::MatchCase,   Option::LongFirst,      Option::Name,         Option::TxtWholeWord,  Option::PPTWholeWord,
    Option::WholeWord,   Option::MatchWildcards, Option::HeaderFooter, Option::WordTextBox,   Option::HyperLink,
    Option::XlsWildcard, Option::WholeCell,      Option::XlsSheetName, Option::XlsPageHeader, Option::Notepage,
};

} // namespace

ReplaceOptions SharedOptions::get() const
{
    QMutexLocker lock(&m_mutex);
    return m_options;
}

void SharedOptions::set(const ReplaceOptions& options)
{
    QMutexLocker lock(&m_mutex);
    m_options = options;
}

OptionsPanel::OptionsPanel(QWidget* frame, QWidget* dialogParent)
    : QObject(frame)
    , m_dialogParent(dialogParent)
    , m_interlock(m_options, [this](const QString& title, const QString& text) {
        MessageBox::notice(m_dialogParent, text, MessageBox::Icon::Information, title);
    })
{
    for (std::size_t i = 0; i < kPanelOrder.size(); ++i) {
        const Option option = kPanelOrder[i];
        const OptionSpec& spec = optionSpec(option);
        auto* box = new OptionCheckBox(QString::fromUtf8(spec.caption), frame);
        box->setObjectName(QString::fromLatin1(spec.control));
        const int column = static_cast<int>(i) / 5;
        const int row = static_cast<int>(i) % 5;
        placeTwips(box, 240 + column * 4140, 300 + row * 360, 4020, 300);
        connect(box, &QCheckBox::clicked, this, [this, option] { optionClicked(option); });
        m_boxes[static_cast<std::size_t>(option)] = box;
    }
    m_boxes[static_cast<std::size_t>(Option::MatchWildcards)]->setToolTip(QStringLiteral("使用通配符替换必须区分大小写"));

    auto* check1 = new QCheckBox(frame);
    check1->setObjectName(QStringLiteral("Check1"));
    check1->setChecked(true);
    check1->setAccessibleName(QStringLiteral("记录日志"));
    placeTwips(check1, 240, 2250, 255, 270);
    connect(check1, &QCheckBox::clicked, check1, [check1] { check1->setChecked(true); });

    m_cmbLog = new QComboBox(frame);
    m_cmbLog->setObjectName(QStringLiteral("CmbLog"));
    m_cmbLog->addItems({QStringLiteral("替换异常记录到文件："), QStringLiteral("替换过程记录到文件：")});
    m_cmbLog->setCurrentIndex(0);
    m_cmbLog->setAccessibleName(QStringLiteral("日志记录方式"));
    placeTwips(m_cmbLog, 540, 2205, 2580, 330);

    m_txtLog = new QLineEdit(frame);
    m_txtLog->setObjectName(QStringLiteral("txtLog"));
    m_txtLog->setAccessibleName(QStringLiteral("处理日志"));
    placeTwips(m_txtLog, 3180, 2205, 7800, 330);

    auto* command1 = new QPushButton(QStringLiteral("..."), frame);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setAccessibleName(QStringLiteral("选择日志文件"));
    placeTwips(command1, 11040, 2190, 510, 360);
    connect(command1, &QPushButton::clicked, this, &OptionsPanel::Command1_Click);

    refresh();
}

void OptionsPanel::refresh()
{
    for (const OptionSpec& spec : optionTable())
        m_boxes[static_cast<std::size_t>(spec.option)]->setValue(m_options.value(spec.option));
    m_shared.set(m_options);
}

LogMode OptionsPanel::logMode() const
{
    return m_cmbLog->currentIndex() == 1 ? LogMode::Process : LogMode::Failures;
}

void OptionsPanel::optionClicked(Option option)
{
    m_options.setValue(option, m_boxes[static_cast<std::size_t>(option)]->value());
    // The boxes show the clicked value before a notice of the interlock appears.
    m_shared.set(m_options);
    m_interlock.clicked(option);
    refresh();
}

void OptionsPanel::Command1_Click()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const FileDialog::Choice choice =
        FileDialog::save(m_dialogParent, QStringLiteral("处理日志"), desktop, QStringLiteral("Varnel_log.txt"),
                         QStringLiteral("处理日志(*.txt)|*.txt"), false);
    if (!choice.file().trimmed().isEmpty())
        m_txtLog->setText(choice.file());
}

} // namespace varnel::ui
