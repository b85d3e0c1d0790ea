#pragma once
// The window under test: settings in a temporary file, every message box, file dialog, modal dialog and
// desktop call answered by the test hooks, and helpers that find controls by objectName.

#include "core/ProcessLog.h"
#include "core/SettingsStore.h"
#include "office/OfficeEngines.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "ui/Desktop.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"
#include "ui/main/RunController.h"
#include "ui/main/frmMain.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace varnel::test {

using ui::FileDialog;
using ui::MessageBox;
using Answer = UserInterface::Answer;

template<typename T>
T* findIn(QObject& parent, const QString& name)
{
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << "no control " << name.toStdString();
    return child;
}

// Clicks a button where a person would: check boxes and option buttons on their indicator.
inline void click(QAbstractButton* button)
{
    ASSERT_NE(button, nullptr);
    if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    else
        QTest::mouseClick(button, Qt::LeftButton);
}

// Processes events until the condition holds or five seconds passed.
inline bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 5000);
}

// Answers the next modal dialog: fn fills and clicks its controls; the dialog's result is returned.
inline void answerDialog(std::function<void(QDialog&)> fn)
{
    ui::queueModalHook([fn = std::move(fn)](QDialog& dialog) {
        fn(dialog);
        return dialog.result();
    });
}

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageBox::setTestMode(true);
        FileDialog::setTestMode(true);
        ui::setModalTestMode(true);
        ui::Desktop::setTestMode(true);
        ASSERT_TRUE(m_dir.isValid());
        m_store = std::make_unique<QtSettingsStore>(m_dir.filePath(QStringLiteral("settings.ini")));
    }

    void TearDown() override
    {
        if (m_window && m_window->runController().isRunning())
            waitFor([this] { return !m_window->runController().isRunning(); });
        m_window.reset();
    }

    // Builds and loads the window (Form_Load) with the engines registered so far, and shows it.
    ui::frmMain& openWindow()
    {
        m_window = std::make_unique<ui::frmMain>(*m_store, m_engines);
        m_window->load();
        m_window->show();
        return *m_window;
    }

    // Closes the window, which stores its settings.
    void closeWindow()
    {
        m_window->close();
        m_window.reset();
    }

    template<typename T = QWidget>
    T* control(const QString& name)
    {
        return findIn<T>(*m_window, name);
    }
    QPushButton* button(const QString& name) { return control<QPushButton>(name); }
    QString labelText(const QString& name) { return control<QLabel>(name)->text(); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The texts of the message boxes shown so far.
    QStringList messages() const
    {
        QStringList texts;
        for (const MessageBox::Shown& shown : MessageBox::shown())
            texts.append(shown.text);
        return texts;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QtSettingsStore> m_store;
    EngineRegistry m_engines;
    std::unique_ptr<ui::frmMain> m_window;
};

} // namespace varnel::test
