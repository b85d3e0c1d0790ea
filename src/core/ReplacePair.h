#pragma once

#include <QList>
#include <QString>

namespace varnel {

// One replacement definition. An empty replace text is valid (replace by nothing).
struct ReplacePair {
    QString find;
    QString replace;

    bool operator==(const ReplacePair&) const = default;
};

using ReplacePairs = QList<ReplacePair>;

} // namespace varnel
