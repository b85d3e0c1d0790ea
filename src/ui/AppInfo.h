#pragma once

#include <QString>

namespace varnel::ui {

// "Varnel - 5.45": the main window's caption and the caption of every message box.
inline QString applicationTitle()
{
    return QStringLiteral("Varnel - 5.45");
}

} // namespace varnel::ui
