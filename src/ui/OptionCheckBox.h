#pragma once
// A check box that holds an option value: 0 clear, 1 ticked, 2 ticked and grey. The grey state is only
// ever set by the program; a click of the user always gives 0 or 1 (a grey box becomes ticked).

#include <QCheckBox>

namespace varnel::ui {

class OptionCheckBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

    int value() const
    {
        switch (checkState()) {
        case Qt::Unchecked: return 0;
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: break;
        }
        return 2;
    }

    void setValue(int value)
    {
        setTristate(value == 2);
        setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
    }

protected:
    void nextCheckState() override { setValue(checkState() == Qt::Checked ? 0 : 1); }
    // The whole box takes the click, not only its indicator and caption.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace varnel::ui
