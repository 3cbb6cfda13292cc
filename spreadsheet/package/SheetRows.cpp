#include "spreadsheet/package/SheetRows.h"

#include <algorithm>

namespace spreadsheet::package {

bool SheetRows::put(std::int64_t row, std::int64_t column, const QString &text)
{
    if (row < 0 || column < 0 || column >= kMaxColumns || text.isEmpty())
        return true;
    if (row >= kMaxRows)
        return false;
    if (rows_.size() <= std::size_t(row))
        rows_.resize(std::size_t(row) + 1);
    cellAt(rows_[std::size_t(row)], column) = text;
    return true;
}

bool SheetRows::putRepeated(std::int64_t row, std::int64_t count, const RowCells &cells)
{
    if (!hasText(cells))
        return true;
    if (row < 0 || count > kMaxRows - row)
        return false;
    if (rows_.size() < std::size_t(row + count))
        rows_.resize(std::size_t(row + count));
    // Copied once, exactly as wide as it is: `cells` may be a reader's buffer
    // with room to spare.
    const RowCells kept(cells.cbegin(), cells.cend());
    std::fill(rows_.begin() + row, rows_.begin() + row + count, kept);
    return true;
}

SheetColumns SheetRows::take()
{
    SheetColumns sheet;
    for (RowCells &cells : rows_)
        fitRow(cells);
    sheet.rows = std::move(rows_);
    if (unreadable_ > 0) {
        sheet.damaged = true;
        sheet.damage = QStringLiteral("%1 cell(s) came without a value that could be read").arg(unreadable_);
    }
    return sheet;
}

}  // namespace spreadsheet::package
