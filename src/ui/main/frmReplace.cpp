#include "ui/main/frmReplace.h"

#include "ui/ModalDialog.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace varnel::ui {

frmReplace::frmReplace(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(QStringLiteral("请输入替换内容："));
    setFixedSize(px(5100), px(2280));

    auto* label1 = new QLabel(QStringLiteral("查找内容："), this);
    placeTwips(label1, 180, 150, 3000, 255);
    m_txtFind = new QLineEdit(this);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtFind->setAccessibleName(label1->text());
    placeTwips(m_txtFind, 180, 420, 4740, 330);
    label1->setBuddy(m_txtFind);

    auto* label2 = new QLabel(QStringLiteral("替换为："), this);
    placeTwips(label2, 180, 870, 3000, 255);
    m_txtReplaceWith = new QLineEdit(this);
    m_txtReplaceWith->setObjectName(QStringLiteral("txtReplaceWith"));
    m_txtReplaceWith->setAccessibleName(label2->text());
    placeTwips(m_txtReplaceWith, 180, 1140, 4740, 330);
    label2->setBuddy(m_txtReplaceWith);

    m_cmdOK = new QPushButton(QStringLiteral("确定"), this);
    m_cmdOK->setObjectName(QStringLiteral("CmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdOK->setEnabled(false);
    placeTwips(m_cmdOK, 2430, 1680, 1155, 390);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    placeTwips(cancel, 3765, 1680, 1155, 390);

    connect(m_txtFind, &QLineEdit::textChanged, this, &frmReplace::txtFind_Change);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmReplace::setPair(const ReplacePair& pair)
{
    m_txtFind->setText(pair.find);
    m_txtReplaceWith->setText(pair.replace);
    txtFind_Change();
}

ReplacePair frmReplace::pair() const
{
    return {m_txtFind->text(), m_txtReplaceWith->text()};
}

void frmReplace::txtFind_Change()
{
    m_cmdOK->setEnabled(!m_txtFind->text().isEmpty());
}

std::optional<ReplacePair> frmReplace::edit(QWidget* parent, const ReplacePair& initial)
{
    frmReplace dialog(parent);
    dialog.setPair(initial);
    if (execModal(dialog) != QDialog::Accepted || dialog.pair().find.isEmpty())
        return std::nullopt;
    return dialog.pair();
}

} // namespace varnel::ui
