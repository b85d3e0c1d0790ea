#include "ui/DefinitionPanel.h"

#include "core/PathUtil.h"
#include "definitions/DefinitionFile.h"
#include "definitions/DictionaryLoader.h"
#include "office/OfficeEngines.h"
#include "ui/DropTargets.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "ui/frmReplace.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

namespace varnel::ui {

namespace {

// Left edges, in twips, of the two frames when shown and when moved out of view.
constexpr int kFrame7Shown = 100;
constexpr int kFrame7Hidden = 600000;
constexpr int kFrame8Shown = 150;
constexpr int kFrame8Hidden = 60000;
constexpr int kFramesTop = 600;
constexpr int kFramesHeight = 2280;

const QString kDefinitionFilter = QStringLiteral("TAB符分隔替换定义文件(*.txt)|*.txt|替换定义文件(*.xml)|*.xml");

} // namespace

DefinitionPanel::DefinitionPanel(QWidget* frame, MainSettings& settings, QWidget* dialogParent)
    : QObject(frame)
    , m_settings(settings)
    , m_dialogParent(dialogParent)
{
    m_optTradition = new QRadioButton(QStringLiteral("界面录入替换定义"), frame);
    m_optTradition->setObjectName(QStringLiteral("OptTradition"));
    m_optTradition->setChecked(true);
    placeTwips(m_optTradition, 240, 270, 2700, 300);
    m_optExcel = new QRadioButton(QStringLiteral("从Excel文件读取替换定义"), frame);
    m_optExcel->setObjectName(QStringLiteral("OptExcel"));
    placeTwips(m_optExcel, 3120, 270, 3300, 300);
    connect(m_optTradition, &QRadioButton::clicked, this, &DefinitionPanel::OptTradition_Click);
    connect(m_optExcel, &QRadioButton::clicked, this, &DefinitionPanel::OptExcel_Click);

    m_frame7 = new QWidget(frame);
    m_frame7->setObjectName(QStringLiteral("Frame7"));
    m_listView1 = new QTreeView(m_frame7);
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setAccessibleName(QStringLiteral("替换内容"));
    m_listView1->setModel(&m_model);
    m_listView1->setRootIsDecorated(false);
    m_listView1->setUniformRowHeights(true);
    m_listView1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView1->header()->setStretchLastSection(false);
    m_listView1->setColumnWidth(0, px(2540));
    m_listView1->setColumnWidth(1, px(2540));
    connect(m_listView1, &QTreeView::customContextMenuRequested, this, &DefinitionPanel::ListView1_MouseDown);
    connect(m_listView1, &QTreeView::doubleClicked, this, [this] { CmdRepListView_Click(2); });

    const QString captions[6] = {QStringLiteral("添加"), QStringLiteral("删除"), QStringLiteral("编辑"),
                                 QStringLiteral("导出"), QStringLiteral("导入"), QStringLiteral("清空")};
    for (int i = 0; i < 6; ++i) {
        auto* button = new QPushButton(captions[i], m_frame7);
        button->setObjectName(QStringLiteral("CmdRepListView(%1)").arg(i));
        placeTwips(button, i * 1110, 1875, 990, 375);
        connect(button, &QPushButton::clicked, this, [this, i] { CmdRepListView_Click(i); });
        m_buttons[static_cast<std::size_t>(i)] = button;
    }

    m_mnuPopup = new QMenu(m_listView1);
    m_mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    m_mnuUp = m_mnuPopup->addAction(QStringLiteral("上移"), this, &DefinitionPanel::mnuUp_Click);
    m_mnuUp->setObjectName(QStringLiteral("mnuUp"));
    m_mnuDown = m_mnuPopup->addAction(QStringLiteral("下移"), this, &DefinitionPanel::mnuDown_Click);
    m_mnuDown->setObjectName(QStringLiteral("mnuDown"));

    m_frame8 = new QWidget(frame);
    m_frame8->setObjectName(QStringLiteral("Frame8"));
    auto* label1 = new QLabel(QStringLiteral("替换定义Excel文件："), m_frame8);
    label1->setObjectName(QStringLiteral("Label1"));
    placeTwips(label1, 90, 75, 1860, 255);
    m_txtDictExcel = new QLineEdit(m_frame8);
    m_txtDictExcel->setObjectName(QStringLiteral("txtDictExcel"));
    m_txtDictExcel->setAccessibleName(label1->text());
    label1->setBuddy(m_txtDictExcel);
    placeTwips(m_txtDictExcel, 1980, 30, 6600, 330);
    auto* command2 = new QPushButton(QStringLiteral("..."), m_frame8);
    command2->setObjectName(QStringLiteral("Command2"));
    command2->setAccessibleName(QStringLiteral("选择替换定义Excel文件"));
    placeTwips(command2, 8640, 15, 510, 360);
    m_lblRepCount = new QLabel(m_frame8);
    m_lblRepCount->setObjectName(QStringLiteral("lbl_IRepCount"));
    placeTwips(m_lblRepCount, 9300, 75, 2700, 255);
    auto* label2 = new QLabel(QStringLiteral("定义文件示例："), m_frame8);
    label2->setObjectName(QStringLiteral("Label2"));
    placeTwips(label2, 90, 540, 1860, 255);
    auto* picture1 = new QLabel(m_frame8);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setPixmap(QPixmap(QStringLiteral(":/varnel/dictionary-sample.png")));
    picture1->setAccessibleName(QStringLiteral("定义文件示例：A列为被替换字符串，B列为替换字符串"));
    placeTwips(picture1, 1980, 480, 5400, 1740);
    connect(command2, &QPushButton::clicked, this, &DefinitionPanel::Command2_Click);
    connect(FileDropFilter::install(m_txtDictExcel), &FileDropFilter::filesDropped, this,
            &DefinitionPanel::txtDictExcel_OLEDragDrop);
    connect(m_txtDictExcel, &QLineEdit::textChanged, m_lblRepCount, &QLabel::clear);

    layoutWidth(12435);
    OptTradition_Click();
}

DefinitionSource DefinitionPanel::source() const
{
    return m_optExcel->isChecked() ? DefinitionSource::Dictionary : DefinitionSource::List;
}

QString DefinitionPanel::dictionaryPath() const
{
    return m_txtDictExcel->text();
}

void DefinitionPanel::layoutWidth(int frameWidth)
{
    const int inner = frameWidth - 2 * kFrame7Shown;
    if (inner < 0)
        return;
    m_frame7->setGeometry(m_frame7->x(), px(kFramesTop), px(inner), px(kFramesHeight));
    placeTwips(m_listView1, 0, 0, inner, 1800);
    const int column = std::max(0, inner / 2 - 50);
    m_listView1->setColumnWidth(0, px(column));
    m_listView1->setColumnWidth(1, px(column));
    m_frame8->setGeometry(m_frame8->x(), px(kFramesTop), px(frameWidth - kFrame8Shown - 60), px(kFramesHeight));
}

void DefinitionPanel::selectSource(bool excel)
{
    (excel ? m_optExcel : m_optTradition)->setChecked(true);
    if (excel)
        OptExcel_Click();
    else
        OptTradition_Click();
}

// The frame moved out of view is also hidden, so that it takes no keyboard focus.
void DefinitionPanel::OptExcel_Click()
{
    m_frame7->move(px(kFrame7Hidden), px(kFramesTop));
    m_frame7->hide();
    m_frame8->move(px(kFrame8Shown), px(kFramesTop));
    m_frame8->show();
}

void DefinitionPanel::OptTradition_Click()
{
    m_frame7->move(px(kFrame7Shown), px(kFramesTop));
    m_frame7->show();
    m_frame8->move(px(kFrame8Hidden), px(kFramesTop));
    m_frame8->hide();
}

void DefinitionPanel::CmdRepListView_Click(int index)
{
    switch (index) {
    case 0: add(); break;
    case 1: remove(); break;
    case 2: edit(); break;
    case 3: exportList(); break;
    case 4: importList(); break;
    case 5: m_model.clear(); break;
    default: break;
    }
}

int DefinitionPanel::selectedRow() const
{
    const QModelIndexList rows = m_listView1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void DefinitionPanel::add()
{
    if (const auto pair = frmReplace::edit(m_dialogParent, {}))
        m_model.append(*pair);
}

void DefinitionPanel::remove()
{
    m_model.removeAt(selectedRow());
}

void DefinitionPanel::edit()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (const auto pair = frmReplace::edit(m_dialogParent, m_model.pair(row)))
        m_model.setPair(row, *pair);
}

void DefinitionPanel::ListView1_MouseDown(const QPoint& pos)
{
    const bool selected = selectedRow() >= 0;
    m_mnuUp->setEnabled(selected);
    m_mnuDown->setEnabled(selected);
    m_mnuPopup->popup(m_listView1->viewport()->mapToGlobal(pos));
}

void DefinitionPanel::mnuUp_Click()
{
    m_model.moveUp(selectedRow());
}

void DefinitionPanel::mnuDown_Click()
{
    m_model.moveDown(selectedRow());
}

void DefinitionPanel::exportList()
{
    const FileDialog::Choice choice =
        FileDialog::save(m_dialogParent, QStringLiteral("导出"), m_settings.dicFilePath, {}, kDefinitionFilter, true);
    const QString path = choice.file();
    if (path.trimmed().isEmpty())
        return;
    m_settings.dicFilePath = GetParentPath(path);
    QString error;
    const bool written = choice.filterIndex == 1 ? writeTabDefinitions(path, m_model.pairs(), &error)
                                                 : writeXmlDefinitions(path, m_model.pairs(), &error);
    if (!written) {
        MessageBox::notice(m_dialogParent, error, MessageBox::Icon::Error);
        return;
    }
    MessageBox::notice(m_dialogParent, QStringLiteral("导出完成！"));
}

void DefinitionPanel::importList()
{
    const FileDialog::Choice choice =
        FileDialog::open(m_dialogParent, QStringLiteral("导入"), m_settings.dicFilePath, kDefinitionFilter);
    const QString path = choice.file();
    if (path.trimmed().isEmpty())
        return;
    m_settings.dicFilePath = GetParentPath(path);
    // The import replaces the list, but only once the file has been read: a file that cannot be read or
    // parsed leaves the list as it was, and the message says why.
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto pairs = choice.filterIndex == 1 ? readTabDefinitions(path, &error) : readXmlDefinitions(path, &error);
    if (pairs)
        m_model.setPairs(*pairs);
    QApplication::restoreOverrideCursor();
    if (!pairs)
        MessageBox::notice(m_dialogParent, error, MessageBox::Icon::Error);
}

// Workbooks of Excel 2007 and later are always read; Excel 97-2003 ones only through LibreOffice, so
// without it the dialog does not offer them.
void DefinitionPanel::Command2_Click()
{
    const QString filter = legacyFormatsAvailable() ? QStringLiteral("(*.xls;*.xlsx)|*.xls;*.xlsx")
                                                    : QStringLiteral("(*.xlsx)|*.xlsx");
    const FileDialog::Choice choice = FileDialog::open(m_dialogParent, QStringLiteral("替换定义Excel文件："), {}, filter);
    if (!choice.file().trimmed().isEmpty())
        m_txtDictExcel->setText(choice.file());
}

void DefinitionPanel::showDefinitionCount(int count)
{
    m_lblRepCount->setText(dictionaryCountText(count));
    m_lblRepCount->repaint();
}

void DefinitionPanel::txtDictExcel_OLEDragDrop(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const QString ext = GetFileExt(paths.first());
    if (ext.compare(QStringLiteral(".xls"), Qt::CaseInsensitive) == 0
        || ext.compare(QStringLiteral(".xlsx"), Qt::CaseInsensitive) == 0)
        m_txtDictExcel->setText(paths.first());
}

} // namespace varnel::ui
