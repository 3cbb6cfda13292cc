#pragma once
// The texts of the cells of the first sheet, kept as its part streams past:
// cells past the last column and rows that hold nothing cost no memory.

#include "spreadsheet/SheetColumns.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace spreadsheet::package {

class SheetRows {
public:
    // Keeps `text` for cells to show, as a shared string is kept once
    // before the cells that show it.
    RowStore::Text keep(QStringView text) { return rows_.keep(text); }
    // Puts `text` in the cell at 0-based `row` and `column`; a column past the
    // last, a row before the first (a cell outside any row) or an empty text
    // is dropped, and a later text for the same cell replaces an earlier one.
    // False (and nothing kept) for a row at or past kMaxRows.
    bool put(std::int64_t row, std::int64_t column, const QString &text);
    bool put(std::int64_t row, std::int64_t column, RowStore::Text text);
    // Puts `cells` as the `count` rows from `row` on, rows that hold nothing
    // yet and come after those put before. The rows share their texts, and a
    // row without text costs nothing however often it repeats. False for a
    // row with text that would land at or past kMaxRows.
    bool putRepeated(std::int64_t row, std::int64_t count, const RowCells &cells);
    // Counts `cells` cells whose value could not be read (left empty).
    void countUnreadable(std::int64_t cells = 1) { unreadable_ += cells; }

    // The rows up to the last one with a text; damaged, with a message, when
    // some cells could not be read.
    SheetColumns take();

private:
    // A cell of a row that was already stored when the cell came.
    struct LateCell {
        std::int64_t row;
        RowStore::Cell cell;
    };

    static bool isKept(std::int64_t row, std::int64_t column) { return row >= 0 && column >= 0 && column < kMaxColumns; }
    // Stores the row being filled.
    void storeRow();
    // Stores the late cells over the rows they belong to, each row once.
    void storeLateCells();

    RowStore rows_;
    // Cells come row after row, so a row is gathered here and stored whole
    // once the next begins; a cell of a row already stored (a sheet whose
    // rows are out of order) waits in late_ until the end.
    std::int64_t row_ = -1;
    std::vector<RowStore::Cell> cells_;  // of row_, in column order
    std::vector<LateCell> late_;
    std::int64_t unreadable_ = 0;
};

}  // namespace spreadsheet::package
