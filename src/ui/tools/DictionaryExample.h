#pragma once
// The picture of an example dictionary workbook that the Excel scope tool shows beside its dictionary
// box: a small sheet with the find texts in column A and the replace texts in column B, from row 1.

#include <QPixmap>
#include <QSize>

namespace varnel::ui {

// The example drawn at `size` (device-independent pixels).
QPixmap dictionaryExamplePixmap(QSize size);

} // namespace varnel::ui
