#pragma once
// A file list and definitions that show what the window is for, used for the screenshot of the README.

namespace varnel::ui {

class frmMain;

void fillSampleContent(frmMain& window);

} // namespace varnel::ui
