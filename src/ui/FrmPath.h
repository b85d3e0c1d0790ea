#pragma once
// The add-folder dialog: a folder, the document types to take (Word, Excel, PowerPoint, a custom pattern)
// and whether subfolders are included. The type boxes follow what this build can edit; OK is enabled
// exactly when a type box is ticked. Cancel empties the folder, so the caller sees nothing to add.

#include "office/OfficeEngines.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnel::ui {

class FrmPath : public QDialog
{
    Q_OBJECT
public:
    explicit FrmPath(const OfficeCapabilities& caps, QWidget* parent = nullptr);

    void setFolder(const QString& folder);
    QString folder() const;
    // The custom pattern in Combo1 (typed or chosen).
    void setCustomPattern(const QString& pattern);
    QString customPattern() const;
    bool customTicked() const;
    // Word mode, for the Word tools' lists: only the Word box and the custom box can be ticked, and the
    // custom pattern comes from Combo2 ("*.doc", "*.docx" with the new Word formats, then extraPatterns)
    // instead of Combo1. The suffix list is then ".doc|.docx|" when the Word box is ticked, otherwise
    // Combo2's pattern followed by "|".
    void setWordMode(const QStringList& extraPatterns);
    // Excel mode, for the Excel scope tool's list: workbooks only, so no type boxes and the captions say
    // so. The suffix list is always ".xls|.xlsx|": workbooks with macros are not added from a folder.
    void setExcelMode();
    bool includeSubfolders() const;
    // The admitted types as a suffix list (see SuffixListScan.h); empty when no box is ticked.
    QString suffixList() const;

private:
    void ChkSuffix_Click();
    void CmdFolder_Click();
    void CmdCancel_Click();

    QLineEdit* m_txtFolder;
    std::array<QCheckBox*, 4> m_chkSuffix{};
    QComboBox* m_combo1;
    QComboBox* m_combo2;
    QLabel* m_label1;
    QCheckBox* m_chkSubdir;
    QPushButton* m_cmdOK;
    bool m_wordMode = false;
    bool m_excelMode = false;
};

} // namespace varnel::ui
