#pragma once
// A notice with a "不再提示此问题" box. Its user keeps one instance for the life of the program and only
// hides it, so once the box is ticked the notice stays silent until the program ends.

#include <QDialog>

class QCheckBox;
class QLabel;

namespace varnel::ui {

class frmMsgbox : public QDialog
{
    Q_OBJECT
public:
    explicit frmMsgbox(QWidget* parent = nullptr);

    void setMessage(const QString& text);
    QString message() const;
    bool skipTicked() const;

    // Shows the message modally unless "不再提示此问题" was ticked; true when it was shown.
    bool showMessage(const QString& text);

private:
    QLabel* m_lblMsg;
    QCheckBox* m_chkSkip;
};

} // namespace varnel::ui
