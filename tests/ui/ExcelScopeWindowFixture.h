#pragma once
// The Excel scope window under test: opened from the main window's function switch, with the run behind
// "替 换" replaced by a scripted one that records what it was given.

#include "WindowFixture.h"

#include "ui/FileListPanel.h"
#include "ui/OptionCheckBox.h"
#include "ui/tools/frmExcelScopeReplace.h"

#include <QApplication>
#include <QPointer>

namespace varnel::test {

using Window = ui::frmExcelScopeReplace;

// Stands for an engine of .xls workbooks alone: a build without the new Excel formats.
class XlsOnlyEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString&, const EngineRequest&) override { return {}; }
};

class ExcelScopeWindow : public WindowTest
{
protected:
    void TearDown() override
    {
        if (m_tool && m_tool->isRunning())
            waitFor([this] { return !m_tool->isRunning(); });
        delete m_tool;
        WindowTest::TearDown();
    }

    // Opens the main window (once) and the tool from CmbFunc entry 3; runs go to the recording runner
    // unless realRun.
    Window& openTool(bool realRun = false)
    {
        if (!m_window) {
            if (m_oldFormatsOnly)
                m_engines.add({QStringLiteral(".xls")}, std::make_shared<XlsOnlyEngine>());
            else
                registerOfficeEngines(m_engines);
            openWindow();
        }
        control<QComboBox>("CmbFunc")->setCurrentIndex(3);
        m_window->CmbFunc_Click(3);
        m_tool = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* tool = qobject_cast<Window*>(widget); tool && tool->isVisible())
                m_tool = tool;
        EXPECT_TRUE(m_tool);
        if (realRun)
            return *m_tool;
        m_tool->setRunner([this](const excelscope::ExcelScopeOptions& options, const QString& dictionary,
                                 const QStringList& workbooks, UserInterface&, const Window::RunReports&) {
            m_runs.append(options);
            m_dictionary = dictionary;
            m_workbooks = workbooks;
            return excelscope::ExcelScopeSummary{};
        });
        return *m_tool;
    }

    void closeTool()
    {
        m_tool->close();
        EXPECT_TRUE(waitFor([this] { return m_tool.isNull(); }));
    }

    template<typename T = QWidget>
    T* toolControl(const QString& name)
    {
        return findIn<T>(*m_tool, name);
    }
    ui::OptionCheckBox* check(const QString& name) { return toolControl<ui::OptionCheckBox>(name); }
    QLineEdit* edit(const QString& name)
    {
        if (auto* combo = m_tool->findChild<QComboBox*>(name))
            return combo->lineEdit();
        return toolControl<QLineEdit>(name);
    }

    // Fills in everything the validation asks for: one workbook and a dictionary.
    void fillInputs()
    {
        m_tool->fileList().ListView2_OLEDragDrop({path(QStringLiteral("book.xlsx"))});
        toolControl<QLineEdit>("txtDictExcel")->setText(path(QStringLiteral("dict.xlsx")));
    }

    // Clicks "替 换" and waits for the run to end.
    void run()
    {
        click(toolControl<QPushButton>("CmdRun"));
        ASSERT_TRUE(waitFor([this] { return !m_tool->isRunning(); }));
    }

    bool m_oldFormatsOnly = false; // the build edits .xls workbooks only
    QPointer<Window> m_tool;
    QList<excelscope::ExcelScopeOptions> m_runs;
    QString m_dictionary;
    QStringList m_workbooks;
};

} // namespace varnel::test
