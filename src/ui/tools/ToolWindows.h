#pragma once
// The tool windows this build has, by their entry of the main window's function switch CmbFunc:
// 1 the full-width/half-width converter, 2 formatted replacement in Word documents, 3 replacement in
// Excel workbooks limited by scope.

namespace varnel::ui {

class frmMain;
class ToolWindow;

using ToolFactory = ToolWindow* (*)(frmMain& main);

// The factory of the tool of entry 1 to 3; nullptr when this build lacks that tool.
ToolFactory toolFactory(int entry);

} // namespace varnel::ui
