#include "ui/FrmPath.h"

#include "filelist/SuffixListScan.h"
#include "ui/FileDialog.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace varnel::ui {

FrmPath::FrmPath(const OfficeCapabilities& caps, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmPath"));
    setWindowTitle(QStringLiteral("选择目录："));
    setFixedSize(px(6600), px(3780));

    m_label1 = new QLabel(QStringLiteral("添加文档的目录："), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    placeTwips(m_label1, 180, 150, 4000, 255);
    m_txtFolder = new QLineEdit(this);
    m_txtFolder->setObjectName(QStringLiteral("txtFolder"));
    m_txtFolder->setAccessibleName(m_label1->text());
    placeTwips(m_txtFolder, 180, 420, 5640, 330);
    m_label1->setBuddy(m_txtFolder);
    auto* cmdFolder = new QPushButton(QStringLiteral("..."), this);
    cmdFolder->setObjectName(QStringLiteral("CmdFolder"));
    cmdFolder->setAccessibleName(QStringLiteral("浏览"));
    placeTwips(cmdFolder, 5910, 405, 510, 360);

    const QString captions[3] = {
        caps.wordNewFormats ? QStringLiteral("Microsoft Word文档(*.doc;*.docx)") : QStringLiteral("Microsoft Word文档(*.doc)"),
        caps.excelNewFormats ? QStringLiteral("Microsoft Excel文档(*.xls;*.xlsx;*.xlsm)")
                             : QStringLiteral("Microsoft Excel文档(*.xls)"),
        caps.powerPointNewFormats ? QStringLiteral("Microsoft Powerpoint文档(*.ppt;*.pptx)")
                                  : QStringLiteral("Microsoft Powerpoint文档(*.ppt)"),
    };
    const bool enabled[3] = {caps.hasWord, caps.hasExcel, caps.hasPowerPoint};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(i < 3 ? captions[i] : QStringLiteral("指定文件后缀："), this);
        box->setObjectName(QStringLiteral("ChkSuffix(%1)").arg(i));
        if (i < 3)
            box->setEnabled(enabled[i]);
        placeTwips(box, 180, 900 + i * 360, i < 3 ? 6000 : 1860, 300);
        connect(box, &QCheckBox::clicked, this, &FrmPath::ChkSuffix_Click);
        m_chkSuffix[static_cast<std::size_t>(i)] = box;
    }

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setAccessibleName(QStringLiteral("指定文件后缀："));
    m_combo1->addItems({"*.txt", "*.doc", "*.htm", "*.html", "*.rtf", "*.ppt", "*.xls", "*.xml", "*.php", "*.css",
                        "*.js", "*.asp", "*.aspx", "*.*"});
    if (caps.wordNewFormats)
        m_combo1->addItem(QStringLiteral("*.docx"));
    if (caps.excelNewFormats)
        m_combo1->addItem(QStringLiteral("*.xlsx"));
    if (caps.powerPointNewFormats)
        m_combo1->addItem(QStringLiteral("*.pptx"));
    m_combo1->setCurrentIndex(0);
    placeTwips(m_combo1, 2100, 1950, 1800, 330);

    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo2->setAccessibleName(QStringLiteral("指定文件后缀："));
    m_combo2->addItem(QStringLiteral("*.doc"));
    if (caps.wordNewFormats)
        m_combo2->addItem(QStringLiteral("*.docx"));
    m_combo2->setCurrentIndex(0);
    m_combo2->hide();
    placeTwips(m_combo2, 2100, 1950, 1800, 330);

    m_chkSubdir = new QCheckBox(QStringLiteral("包括该目录子目录中的文档"), this);
    m_chkSubdir->setObjectName(QStringLiteral("ChkSubdir"));
    m_chkSubdir->setChecked(true);
    placeTwips(m_chkSubdir, 180, 2520, 6000, 300);

    m_cmdOK = new QPushButton(QStringLiteral("确定"), this);
    m_cmdOK->setObjectName(QStringLiteral("CmdOK"));
    m_cmdOK->setDefault(true);
    placeTwips(m_cmdOK, 3930, 3150, 1155, 390);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    placeTwips(cancel, 5265, 3150, 1155, 390);

    connect(cmdFolder, &QPushButton::clicked, this, &FrmPath::CmdFolder_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &FrmPath::CmdCancel_Click);
    ChkSuffix_Click();
}

void FrmPath::setFolder(const QString& folder)
{
    m_txtFolder->setText(folder);
}

QString FrmPath::folder() const
{
    return m_txtFolder->text();
}

void FrmPath::setCustomPattern(const QString& pattern)
{
    m_combo1->setEditText(pattern);
}

QString FrmPath::customPattern() const
{
    return m_combo1->currentText();
}

bool FrmPath::customTicked() const
{
    return m_chkSuffix[3]->isChecked();
}

bool FrmPath::includeSubfolders() const
{
    return m_chkSubdir->checkState() != Qt::Unchecked;
}

void FrmPath::setWordMode(const QStringList& extraPatterns)
{
    m_wordMode = true;
    m_combo1->hide();
    m_combo2->addItems(extraPatterns);
    m_combo2->show();
    m_chkSuffix[1]->setEnabled(false);
    m_chkSuffix[2]->setEnabled(false);
}

void FrmPath::setExcelMode()
{
    m_excelMode = true;
    m_label1->setText(QStringLiteral("添加以下文件夹下的所有工作簿："));
    m_txtFolder->setAccessibleName(m_label1->text());
    for (QCheckBox* box : m_chkSuffix)
        box->hide();
    m_combo1->hide();
    m_combo2->hide();
    m_chkSubdir->setText(QStringLiteral("包括该目录子目录中的Excel工作簿"));
    placeTwips(m_chkSubdir, 180, 900, 6000, 300);
    m_cmdOK->setEnabled(true);
    // Without the type boxes the buttons move up under the subfolder box.
    placeTwips(m_cmdOK, 3930, 1500, 1155, 390);
    if (auto* cancel = findChild<QPushButton*>(QStringLiteral("CmdCancel")))
        placeTwips(cancel, 5265, 1500, 1155, 390);
    setFixedSize(px(6600), px(2130));
}

QString FrmPath::suffixList() const
{
    if (m_excelMode)
        return QStringLiteral(".xls|.xlsx|");
    if (m_wordMode)
        return m_chkSuffix[0]->isChecked() ? buildSuffixList(true, false, false) : m_combo2->currentText() + QLatin1Char('|');
    return buildSuffixList(m_chkSuffix[0]->isChecked(), m_chkSuffix[1]->isChecked(), m_chkSuffix[2]->isChecked(),
                           customTicked() ? customPattern() : QString());
}

void FrmPath::ChkSuffix_Click()
{
    bool any = false;
    for (QCheckBox* box : m_chkSuffix)
        any = any || box->isChecked();
    m_cmdOK->setEnabled(any);
    m_combo1->setEnabled(customTicked());
    m_combo2->setEnabled(customTicked());
}

void FrmPath::CmdFolder_Click()
{
    m_txtFolder->setText(FileDialog::directory(this, QStringLiteral("请选择一个文件夹"), m_txtFolder->text()));
}

void FrmPath::CmdCancel_Click()
{
    m_txtFolder->clear();
    reject();
}

} // namespace varnel::ui
