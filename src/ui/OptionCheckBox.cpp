#include "ui/OptionCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace varnel::ui {

int OptionCheckBox::value() const
{
    switch (checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: break;
    }
    return 2;
}

void OptionCheckBox::setValue(int value)
{
    setTristate(value == 2);
    setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

void OptionCheckBox::paintEvent(QPaintEvent* event)
{
    if (checkState() != Qt::PartiallyChecked) {
        QCheckBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_NoChange;
    option.state |= QStyle::State_On;
    // The caption keeps its normal colours; only the tick is drawn as a disabled box would draw it.
    QStyleOptionButton indicator = option;
    indicator.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    indicator.state &= ~(QStyle::State_Enabled | QStyle::State_MouseOver | QStyle::State_HasFocus);
    indicator.palette.setCurrentColorGroup(QPalette::Disabled);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, indicator);
    QStyleOptionButton label = option;
    label.rect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    painter.drawControl(QStyle::CE_CheckBoxLabel, label);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_CheckBoxFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace varnel::ui
