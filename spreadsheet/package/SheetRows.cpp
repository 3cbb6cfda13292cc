#include "spreadsheet/package/SheetRows.h"

#include <algorithm>

namespace spreadsheet::package {
namespace {

// Puts `cell` among `cells`, which stay in column order; it replaces a cell
// of the same column. Cells nearly always come in column order: then it
// goes at the end.
void place(std::vector<RowStore::Cell> &cells, RowStore::Cell cell)
{
    if (cells.empty() || cells.back().column() < cell.column()) {
        cells.push_back(cell);
        return;
    }
    const auto at = std::lower_bound(cells.begin(), cells.end(), cell.column(),
                                     [](const RowStore::Cell &kept, qsizetype column) { return kept.column() < column; });
    if (at != cells.end() && at->column() == cell.column())
        *at = cell;
    else
        cells.insert(at, cell);
}

}  // namespace

bool SheetRows::put(std::int64_t row, std::int64_t column, const QString &text)
{
    if (text.isEmpty() || !isKept(row, column))
        return true;
    if (row >= kMaxRows)
        return false;
    return put(row, column, keep(text));
}

bool SheetRows::put(std::int64_t row, std::int64_t column, RowStore::Text text)
{
    if (text.size() == 0 || !isKept(row, column))
        return true;
    if (row >= kMaxRows)
        return false;
    const RowStore::Cell cell(qsizetype(column), text);
    if (row < row_) {
        late_.push_back({row, cell});
        return true;
    }
    if (row > row_) {
        storeRow();
        row_ = row;
    }
    place(cells_, cell);
    return true;
}

bool SheetRows::putRepeated(std::int64_t row, std::int64_t count, const RowCells &cells)
{
    if (!hasText(cells))
        return true;
    if (row < 0 || count > kMaxRows - row)
        return false;
    rows_.setRow(std::size_t(row), cells, std::size_t(count));
    return true;
}

void SheetRows::storeRow()
{
    if (!cells_.empty())
        rows_.setRow(std::size_t(row_), cells_);
    cells_.clear();
}

void SheetRows::storeLateCells()
{
    // Stable, so that of two texts for one cell the one that came later stays.
    std::stable_sort(late_.begin(), late_.end(), [](const LateCell &a, const LateCell &b) { return a.row < b.row; });
    for (auto from = late_.begin(); from != late_.end();) {
        const auto row = std::size_t(from->row);
        if (row < rows_.size()) {
            const std::span<const RowStore::Cell> stored = rows_.cells(row);
            cells_.assign(stored.begin(), stored.end());
        }
        for (; from != late_.end() && std::size_t(from->row) == row; ++from)
            place(cells_, from->cell);
        rows_.setRow(row, cells_);
        cells_.clear();
    }
    late_.clear();
}

SheetColumns SheetRows::take()
{
    storeRow();
    storeLateCells();
    SheetColumns sheet;
    sheet.rows = std::move(rows_);
    if (unreadable_ > 0) {
        sheet.damaged = true;
        sheet.damage = QStringLiteral("%1 cell(s) came without a value that could be read").arg(unreadable_);
    }
    return sheet;
}

}  // namespace spreadsheet::package
