#pragma once
// The dictionary workbook as a run's source of definitions: reads it (DictionaryWorkbook) and tells the
// person what they need to know, through the run's user interface:
//   - each row longer than 255 characters, as a notice that "不再提示此问题" silences;
//   - the count of definitions read (the window's lbl_IRepCount), through showCount;
//   - a workbook without definitions: "替换定义Excel工作簿：“…”内容为空，请检查替换定义工作簿！";
//   - a workbook that cannot be read (missing, locked, encrypted, corrupt, .xls without LibreOffice): the
//     reason, with the error icon.
// The run starts only with a whole dictionary: anything but a complete read gives no definitions.

#include "core/ReplacePair.h"
#include "core/UserInterface.h"

#include <functional>
#include <optional>

namespace varnel {

// "替换定义：n 条", the text of the count label.
QString dictionaryCountText(int count);

// Reads the definitions of the workbook at path; nullopt or an empty list (after its message) when the
// run must not start. showCount, when given, receives the count once the workbook was read, before any
// message about it. password opens a workbook encrypted with it.
std::optional<ReplacePairs> LoadDictionaryWorkbook(const QString& path, UserInterface& ui,
                                                   const std::function<void(int count)>& showCount = {},
                                                   const QString& password = QString());

} // namespace varnel
