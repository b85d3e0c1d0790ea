#include "ui/tools/ScopePanel.h"

#include "ui/OptionCheckBox.h"
#include "ui/Twips.h"
#include "ui/tools/ScopeTextValidator.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace varnel::ui {

namespace {

constexpr int kBoxLeft = 2220;   // the first text box of a condition
constexpr int kBoxStep = 1260;   // from the first text box to the second
constexpr int kHintLeft = 4800;

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top, int width)
{
    auto* label = new QLabel(text, parent);
    placeTwips(label, left, top, width, 255);
    return label;
}

} // namespace

OptionCheckBox* makeOptionCheck(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* box = new OptionCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    placeTwips(box, left, top, width, 285);
    return box;
}

void restoreCheck(OptionCheckBox* box, const SettingsStore& store, const QString& section, int defaultValue)
{
    bool isNumber = false;
    const int value = store.read(section, box->objectName(), QString::number(defaultValue)).trimmed().toInt(&isNumber);
    box->setValue(isNumber && value >= 0 && value <= 2 ? value : defaultValue);
}

void storeCheck(const OptionCheckBox* box, SettingsStore& store, const QString& section)
{
    store.write(section, box->objectName(), QString::number(box->value()));
}

ScopePanel::ScopePanel(QWidget* window, int top, int width)
    : QObject(window)
{
    auto* frame = new QGroupBox(QStringLiteral("替换范围"), window);
    frame->setObjectName(QStringLiteral("FrameScope"));
    placeTwips(frame, 120, top, width, 1410);
    const std::array<QString, 2> ends{QStringLiteral("起"), QStringLiteral("止")};

    m_chkRows = makeOptionCheck(frame, "ChkRows", QStringLiteral("限定替换行范围："), 180, 300, 2000);
    const QString rowsHint = QStringLiteral("整数行序号如：2-100");
    for (std::size_t i = 0; i < m_txtRows.size(); ++i) {
        auto* rows = new QLineEdit(frame);
        rows->setObjectName(QStringLiteral("txtRows(%1)").arg(i));
        rows->setAccessibleName(m_chkRows->text() + ends[i]);
        rows->setToolTip(rowsHint);
        rows->setValidator(new ScopeTextValidator(ScopeTextValidator::Kind::RowNumber, rows));
        placeTwips(rows, kBoxLeft + static_cast<int>(i) * kBoxStep, 270, 1020, 315);
        connect(rows, &QLineEdit::textChanged, this, &ScopePanel::txtRows_Change);
        m_txtRows[i] = rows;
    }
    makeLabel(frame, QStringLiteral("-"), kBoxLeft + 1080, 300, 150);
    makeLabel(frame, rowsHint, kHintLeft, 300, width - kHintLeft - 120);

    m_chkColumns = makeOptionCheck(frame, "ChkColumns", QStringLiteral("限定替换列范围："), 180, 660, 2000);
    const QString columnsHint = QStringLiteral("字母列序号如：C-E");
    for (std::size_t i = 0; i < m_cmbColumn.size(); ++i) {
        auto* columns = new QComboBox(frame);
        columns->setObjectName(QStringLiteral("CmbColumn(%1)").arg(i));
        columns->setEditable(true);
        columns->setInsertPolicy(QComboBox::NoInsert);
        columns->setAccessibleName(m_chkColumns->text() + ends[i]);
        columns->setToolTip(columnsHint);
        columns->setValidator(new ScopeTextValidator(ScopeTextValidator::Kind::ColumnLetters, columns));
        // The first column runs to Z, the last to AZ.
        for (char16_t letter = u'A'; letter <= u'Z'; ++letter)
            columns->addItem(QString(QChar(letter)));
        for (char16_t letter = u'A'; i == 1 && letter <= u'Z'; ++letter)
            columns->addItem(QStringLiteral("A") + QChar(letter));
        columns->setCurrentIndex(-1);
        placeTwips(columns, kBoxLeft + static_cast<int>(i) * kBoxStep, 630, 1020, 315);
        // The edit text changes both when a letter is typed and when an item is chosen; choosing the item
        // already shown changes nothing but is a choice all the same.
        connect(columns, &QComboBox::editTextChanged, this, &ScopePanel::CmbColumn_Change);
        connect(columns, &QComboBox::activated, this, &ScopePanel::CmbColumn_Change);
        m_cmbColumn[i] = columns;
    }
    makeLabel(frame, QStringLiteral("-"), kBoxLeft + 1080, 660, 150);
    makeLabel(frame, columnsHint, kHintLeft, 660, width - kHintLeft - 120);

    m_chkSheet = makeOptionCheck(frame, "ChkSheet", QStringLiteral("限定替换工作表："), 180, 1020, 2000);
    m_cmbCompare = new QComboBox(frame);
    m_cmbCompare->setObjectName(QStringLiteral("CmbCompare"));
    m_cmbCompare->setAccessibleName(m_chkSheet->text());
    m_cmbCompare->addItems({QStringLiteral("活动工作表"), QStringLiteral("工作表名等于"), QStringLiteral("工作表名包含"),
                            QStringLiteral("工作表名不等于"), QStringLiteral("工作表名不包含")});
    // No condition is chosen until the person chooses one; the name box waits for a condition that needs it.
    m_cmbCompare->setCurrentIndex(-1);
    placeTwips(m_cmbCompare, kBoxLeft, 990, 2280, 315);
    // A choice ticks ChkSheet even when it is the item already shown.
    connect(m_cmbCompare, &QComboBox::currentIndexChanged, this, &ScopePanel::CmbCompare_Click);
    connect(m_cmbCompare, &QComboBox::activated, this, &ScopePanel::CmbCompare_Click);
    m_txtSheetName = new QLineEdit(frame);
    m_txtSheetName->setObjectName(QStringLiteral("txtSheetName"));
    m_txtSheetName->setAccessibleName(m_chkSheet->text() + QStringLiteral("工作表名"));
    placeTwips(m_txtSheetName, kBoxLeft + 2400, 990, width - kBoxLeft - 2520, 315);
    m_txtSheetName->hide();
}

void ScopePanel::restore(const SettingsStore& store, const QString& section)
{
    restoreCheck(m_chkRows, store, section, 0);
    if (m_chkRows->value() == 1)
        for (QLineEdit* rows : m_txtRows)
            rows->setText(store.read(section, rows->objectName(), QString()));
    restoreCheck(m_chkColumns, store, section, 0);
    if (m_chkColumns->value() == 1)
        for (QComboBox* columns : m_cmbColumn)
            columns->setEditText(store.read(section, columns->objectName(), QString()));
}

void ScopePanel::store(SettingsStore& store, const QString& section) const
{
    const bool rows = m_chkRows->value() == 1;
    for (const QLineEdit* box : m_txtRows)
        store.write(section, box->objectName(), rows ? box->text() : QString());
    storeCheck(m_chkRows, store, section);
    const bool columns = m_chkColumns->value() == 1;
    for (const QComboBox* box : m_cmbColumn)
        store.write(section, box->objectName(), columns ? box->currentText() : QString());
    storeCheck(m_chkColumns, store, section);
}

std::optional<ScopePanel::Missing> ScopePanel::missing() const
{
    if (m_chkRows->value() == 1)
        for (QLineEdit* rows : m_txtRows)
            if (rows->text().isEmpty())
                return Missing{QStringLiteral("请输入数字行号！"), rows};
    if (m_chkColumns->value() == 1)
        for (QComboBox* columns : m_cmbColumn)
            if (columns->currentText().isEmpty())
                return Missing{QStringLiteral("请输入字母列号！"), columns};
    if (m_chkSheet->value() == 1) {
        if (m_cmbCompare->currentIndex() < 0)
            return Missing{QStringLiteral("请选择工作表范围条件！"), m_cmbCompare};
        // Blank is empty here, but the run compares the text as typed.
        if (m_cmbCompare->currentIndex() >= 1 && m_txtSheetName->text().trimmed().isEmpty())
            return Missing{QStringLiteral("请输入工作表范围条件！"), m_txtSheetName};
    }
    return std::nullopt;
}

void ScopePanel::fill(excelscope::ExcelScopeOptions& options) const
{
    options.rowScope = m_chkRows->value() == 1;
    options.firstRow = m_txtRows[0]->text();
    options.lastRow = m_txtRows[1]->text();
    options.columnScope = m_chkColumns->value() == 1;
    options.firstColumn = m_cmbColumn[0]->currentText();
    options.lastColumn = m_cmbColumn[1]->currentText();
    options.sheetScope = m_chkSheet->value() == 1;
    options.sheetCondition = static_cast<excelscope::SheetCondition>(std::max(0, m_cmbCompare->currentIndex()));
    options.sheetText = m_txtSheetName->text();
}

void ScopePanel::txtRows_Change()
{
    if (m_chkRows->value() == 0 && !m_txtRows[0]->text().isEmpty() && !m_txtRows[1]->text().isEmpty())
        m_chkRows->setValue(1);
}

void ScopePanel::CmbColumn_Change()
{
    if (m_chkColumns->value() == 0 && !m_cmbColumn[0]->currentText().isEmpty()
        && !m_cmbColumn[1]->currentText().isEmpty())
        m_chkColumns->setValue(1);
}

void ScopePanel::CmbCompare_Click(int index)
{
    if (index < 0)
        return;
    m_txtSheetName->setVisible(index >= 1);
    m_chkSheet->setValue(1);
}

} // namespace varnel::ui
