#pragma once
// The options panel ("选  项"): the fifteen option boxes bound to ReplaceOptions through the interlock of
// match case and Word wildcards, the always-ticked Check1, and the log controls (CmbLog, txtLog and its
// chooser Command1). The options object is the truth; the boxes show it. Every change is also published
// to a locked copy that a run on another thread reads for each file, so a change made during a run
// affects the files still to come.

#include "core/ProcessLog.h"
#include "core/ReplaceOptions.h"

#include <QMutex>
#include <QObject>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace varnel::ui {

class OptionCheckBox;

class SharedOptions
{
public:
    ReplaceOptions get() const;
    void set(const ReplaceOptions& options);

private:
    mutable QMutex m_mutex;
    ReplaceOptions m_options;
};

class OptionsPanel : public QObject
{
    Q_OBJECT
public:
    // Builds the panel's controls inside frame; message boxes and dialogs are parented to dialogParent.
    OptionsPanel(QWidget* frame, QWidget* dialogParent);

    ReplaceOptions& options() { return m_options; }
    OptionInterlock& interlock() { return m_interlock; }
    const SharedOptions& shared() const { return m_shared; }
    // Shows the options in the boxes and publishes them; call after changing options() directly.
    void refresh();

    QLineEdit* txtLog() const { return m_txtLog; }
    LogMode logMode() const;

    void Command1_Click();

private:
    void optionClicked(Option option);

    QWidget* m_dialogParent;
    ReplaceOptions m_options;
    OptionInterlock m_interlock;
    SharedOptions m_shared;
    std::array<OptionCheckBox*, OptionCount> m_boxes{};
    QComboBox* m_cmbLog;
    QLineEdit* m_txtLog;
};

} // namespace varnel::ui
