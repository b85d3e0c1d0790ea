#pragma once
// The edit dialog of one definition: a find text ("查找内容：") and a replace text ("替换为："). OK is
// enabled exactly when the find text is not empty, so an accepted dialog always has a find text.

#include "core/ReplacePair.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

namespace varnel::ui {

class frmReplace : public QDialog
{
    Q_OBJECT
public:
    explicit frmReplace(QWidget* parent = nullptr);

    void setPair(const ReplacePair& pair);
    ReplacePair pair() const;

    // Shows the dialog with the texts of `initial`; the texts entered when accepted, nullopt when cancelled.
    static std::optional<ReplacePair> edit(QWidget* parent, const ReplacePair& initial);

private:
    void txtFind_Change();

    QLineEdit* m_txtFind;
    QLineEdit* m_txtReplaceWith;
    QPushButton* m_cmdOK;
};

} // namespace varnel::ui
