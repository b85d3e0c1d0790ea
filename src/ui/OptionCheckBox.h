#pragma once
// A check box that holds an option value: 0 clear, 1 ticked, 2 ticked and grey. The grey state is only
// ever set by the program; a click of the user always gives 0 or 1 (a grey box becomes ticked).
// Grey is a tick shown dimmed, as the option's first-start value is drawn, not Qt's partial square.

#include <QCheckBox>

namespace varnel::ui {

class OptionCheckBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

    int value() const;
    void setValue(int value);

protected:
    void nextCheckState() override { setValue(checkState() == Qt::Checked ? 0 : 1); }
    // The whole box takes the click, not only its indicator and caption.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void paintEvent(QPaintEvent* event) override;
};

} // namespace varnel::ui
