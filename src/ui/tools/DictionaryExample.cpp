#include "ui/tools/DictionaryExample.h"

#include <QPainter>

#include <array>

namespace varnel::ui {

namespace {

struct ExampleRow {
    const char16_t* find;
    const char16_t* replace;
};

constexpr std::array<ExampleRow, 4> kRows{{
    {u"旧公司名", u"新公司名"},
    {u"2019年度", u"2020年度"},
    {u"Varnel", u"VARNEL"},
    {u"张经理", u"李经理"},
}};

} // namespace

QPixmap dictionaryExamplePixmap(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);

    // A header row with the column letters, a header column with the row numbers, then the cells.
    const int rowCount = static_cast<int>(kRows.size()) + 1;
    const int rowHeight = (size.height() - 1) / rowCount;
    const int headerWidth = 24;
    const int cellWidth = (size.width() - 1 - headerWidth) / 2;
    const QColor headerFill(230, 230, 230);
    const QColor grid(170, 170, 170);
    painter.fillRect(0, 0, size.width(), rowHeight, headerFill);
    painter.fillRect(0, 0, headerWidth, rowHeight * rowCount, headerFill);

    painter.setPen(Qt::black);
    const auto cell = [&](int column, int row) {
        const int left = column == 0 ? 0 : headerWidth + (column - 1) * cellWidth;
        return QRect(left, row * rowHeight, column == 0 ? headerWidth : cellWidth, rowHeight);
    };
    painter.drawText(cell(1, 0), Qt::AlignCenter, QStringLiteral("A"));
    painter.drawText(cell(2, 0), Qt::AlignCenter, QStringLiteral("B"));
    for (int row = 1; row < rowCount; ++row) {
        const ExampleRow& example = kRows[static_cast<std::size_t>(row - 1)];
        painter.drawText(cell(0, row), Qt::AlignCenter, QString::number(row));
        painter.drawText(cell(1, row).adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromUtf16(example.find));
        painter.drawText(cell(2, row).adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromUtf16(example.replace));
    }

    painter.setPen(grid);
    for (int row = 0; row <= rowCount; ++row)
        painter.drawLine(0, row * rowHeight, headerWidth + 2 * cellWidth, row * rowHeight);
    for (int column = 0; column <= 3; ++column) {
        const int x = column == 0 ? 0 : headerWidth + (column - 1) * cellWidth;
        painter.drawLine(x, 0, x, rowCount * rowHeight);
    }
    return pixmap;
}

} // namespace varnel::ui
