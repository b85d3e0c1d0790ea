#include "ui/main/SampleContent.h"

#include "filelist/FileListRules.h"
#include "ui/main/DefinitionPanel.h"
#include "ui/FileListPanel.h"
#include "ui/main/OptionsPanel.h"
#include "ui/main/frmMain.h"

#include <QLabel>
#include <QLineEdit>

namespace varnel::ui {

void fillSampleContent(frmMain& window)
{
    FileListModel& files = window.fileList().model();
    files.appendAll({
        QStringLiteral("/home/wang/文档/合同/2024年采购合同.docx"),
        QStringLiteral("/home/wang/文档/合同/服务协议（修订版）.docx"),
        QStringLiteral("/home/wang/文档/报表/季度销售汇总.xlsx"),
        QStringLiteral("/home/wang/文档/网站/index.html"),
        QStringLiteral("/home/wang/文档/网站/about.htm"),
        QStringLiteral("/home/wang/文档/说明.txt"),
    });
    if (auto* label = window.findChild<QLabel*>(QStringLiteral("lblInput")))
        label->setText(inputLabel(files.count(), CountForm::Items));
    window.options().txtLog()->setText(QStringLiteral("/home/wang/桌面/Varnel.log"));

    DefinitionListModel& definitions = window.definitions().model();
    definitions.append({QStringLiteral("旧公司名称有限公司"), QStringLiteral("新公司名称股份有限公司")});
    definitions.append({QStringLiteral("联系电话：010-12345678"), QStringLiteral("联系电话：010-87654321")});
    definitions.append({QStringLiteral("2023年"), QStringLiteral("2024年")});
    definitions.append({QStringLiteral("Old Company Ltd."), QStringLiteral("New Company Inc.")});
}

} // namespace varnel::ui
