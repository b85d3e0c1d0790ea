#pragma once
// The definition panel ("替换内容"): the source of a run's definitions, chosen with OptTradition (the list
// entered in the window) or OptExcel (an Excel dictionary workbook). Frame7 holds the list ListView1 with
// its buttons CmdRepListView(0) to CmdRepListView(5) and the move up/down menu; Frame8 holds the workbook
// path, its chooser and the sample picture. The two frames share one place and are switched by position.

#include "core/BatchRun.h"
#include "core/SettingsStore.h"
#include "definitions/DefinitionListModel.h"

#include <QObject>

#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPoint;
class QPushButton;
class QRadioButton;
class QTreeView;
class QWidget;

namespace varnel::ui {


class DefinitionPanel : public QObject
{
    Q_OBJECT
public:
    // Builds the controls inside frame (Frame2). settings belong to the window.
    DefinitionPanel(QWidget* frame, MainSettings& settings, QWidget* dialogParent);

    DefinitionListModel& model() { return m_model; }
    DefinitionSource source() const;
    QString dictionaryPath() const;
    QRadioButton* optTradition() const { return m_optTradition; }
    QRadioButton* optExcel() const { return m_optExcel; }

    void CmdRepListView_Click(int index);
    void mnuUp_Click();
    void mnuDown_Click();
    void OptExcel_Click();
    void OptTradition_Click();
    void Command2_Click();
    void txtDictExcel_OLEDragDrop(const QStringList& paths);
    // lbl_IRepCount after a dictionary workbook was read ("替换定义：n 条"); editing the path clears it.
    void showDefinitionCount(int count);
    // Selects the workbook source (true) or the window's list, as a click on the option would.
    void selectSource(bool excel);
    // Width of Frame2 in twips: the list grows with it, its two columns share it.
    void layoutWidth(int frameWidth);

private:
    void add();
    void remove();
    void edit();
    void exportList();
    void importList();
    void ListView1_MouseDown(const QPoint& pos);
    int selectedRow() const;

    DefinitionListModel m_model;
    MainSettings& m_settings;
    QWidget* m_dialogParent;
    QRadioButton* m_optTradition;
    QRadioButton* m_optExcel;
    QWidget* m_frame7;
    QWidget* m_frame8;
    QTreeView* m_listView1;
    std::array<QPushButton*, 6> m_buttons{};
    QMenu* m_mnuPopup;
    QAction* m_mnuUp;
    QAction* m_mnuDown;
    QLineEdit* m_txtDictExcel;
    QLabel* m_lblRepCount;
};

} // namespace varnel::ui
