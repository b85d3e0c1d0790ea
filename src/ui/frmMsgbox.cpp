#include "ui/frmMsgbox.h"

#include "ui/AppInfo.h"
#include "ui/ModalDialog.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace varnel::ui {

frmMsgbox::frmMsgbox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMsgbox"));
    setWindowTitle(applicationTitle());
    setFixedSize(px(6300), px(2400));

    auto* image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    placeTwips(image1, 240, 240, 480, 480);

    m_lblMsg = new QLabel(this);
    m_lblMsg->setObjectName(QStringLiteral("lblMsg"));
    m_lblMsg->setWordWrap(true);
    m_lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    placeTwips(m_lblMsg, 900, 240, 5160, 1200);

    m_chkSkip = new QCheckBox(QStringLiteral("不再提示此问题"), this);
    m_chkSkip->setObjectName(QStringLiteral("ChkSkip"));
    placeTwips(m_chkSkip, 900, 1620, 3000, 300);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    placeTwips(ok, 4905, 1575, 1155, 390);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void frmMsgbox::setMessage(const QString& text)
{
    m_lblMsg->setText(text);
}

QString frmMsgbox::message() const
{
    return m_lblMsg->text();
}

bool frmMsgbox::skipTicked() const
{
    return m_chkSkip->isChecked();
}

bool frmMsgbox::showMessage(const QString& text)
{
    if (skipTicked())
        return false;
    setMessage(text);
    execModal(*this);
    return true;
}

} // namespace varnel::ui
