// With the engines this build registers, the window reports Excel workbooks as supported.

#include "WindowFixture.h"

using ExcelSupport = varnel::test::WindowTest;

TEST_F(ExcelSupport, RegisteredEnginesTurnTheExcelLabelGreen)
{
    varnel::registerOfficeEngines(m_engines);
    openWindow();
    EXPECT_TRUE(m_window->capabilities().hasExcel);
    EXPECT_TRUE(m_window->capabilities().excelNewFormats);
    EXPECT_EQ(labelText("lblBaseMsg(1)"), QStringLiteral("Excel文档处理：支持"));
    EXPECT_EQ(control<QLabel>("lblBaseMsg(1)")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}
