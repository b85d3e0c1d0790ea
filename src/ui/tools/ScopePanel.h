#pragma once
// The scope conditions of the Excel scope tool ("替换范围"): a range of rows (ChkRows, txtRows(0) and
// txtRows(1)), a range of columns (ChkColumns, CmbColumn(0) with A to Z, CmbColumn(1) with A to AZ) and a
// condition on worksheet names (ChkSheet, CmbCompare, txtSheetName). A condition counts only when its box
// is 1. Row boxes take digits, column boxes letters (made capitals). Each box ticks itself once its
// condition is filled in (both texts, or a chosen CmbCompare item) and is only ever cleared by hand.
// Only emptiness is checked: the order of the two rows or columns is the run's affair.

#include "core/SettingsStore.h"
#include "tools/excelscope/ExcelScopeOptions.h"

#include <QObject>

#include <array>
#include <optional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace varnel::ui {

class OptionCheckBox;

// The window's check boxes: an option box named name, captioned text, placed in twips.
OptionCheckBox* makeOptionCheck(QWidget* parent, const char* name, const QString& text, int left, int top, int width);
// A check box's value from the store: the default when the stored text is no value of 0, 1 or 2.
void restoreCheck(OptionCheckBox* box, const SettingsStore& store, const QString& section, int defaultValue);
// The check box's value, as decimal text, under the box's objectName.
void storeCheck(const OptionCheckBox* box, SettingsStore& store, const QString& section);

class ScopePanel : public QObject
{
    Q_OBJECT
public:
    // Builds the frame inside window at top (twips), width wide.
    ScopePanel(QWidget* window, int top, int width);

    // ChkRows, then its texts when it is 1; ChkColumns, then its texts when it is 1.
    void restore(const SettingsStore& store, const QString& section);
    // The row texts (empty unless ChkRows is 1), ChkRows, the column texts (likewise), ChkColumns.
    void store(SettingsStore& store, const QString& section) const;

    // The first condition that is on but not filled in: its message, and the box to fill.
    struct Missing {
        QString message;
        QWidget* focus = nullptr;
    };
    std::optional<Missing> missing() const;
    // The scope members of options, from the controls.
    void fill(excelscope::ExcelScopeOptions& options) const;

private:
    void txtRows_Change();
    void CmbColumn_Change();
    void CmbCompare_Click(int index);

    OptionCheckBox* m_chkRows = nullptr;
    std::array<QLineEdit*, 2> m_txtRows{};
    OptionCheckBox* m_chkColumns = nullptr;
    std::array<QComboBox*, 2> m_cmbColumn{};
    OptionCheckBox* m_chkSheet = nullptr;
    QComboBox* m_cmbCompare = nullptr;
    QLineEdit* m_txtSheetName = nullptr;
};

} // namespace varnel::ui
