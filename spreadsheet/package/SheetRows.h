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
    // Puts `text` in the cell at 0-based `row` and `column`; a column past the
    // last, a row before the first (a cell outside any row) or an empty text
    // is dropped. False (and nothing kept) for a row at or past kMaxRows.
    bool put(std::int64_t row, std::int64_t column, const QString &text);
    // Puts `cells` as the `count` rows from `row` on, rows that hold nothing
    // yet. The copies share one row's data, and a row without text costs
    // nothing however often it repeats. False for a row with text that would
    // land at or past kMaxRows.
    bool putRepeated(std::int64_t row, std::int64_t count, const RowCells &cells);
    // Counts `cells` cells whose value could not be read (left empty).
    void countUnreadable(std::int64_t cells = 1) { unreadable_ += cells; }

    // The rows up to the last one with a text; damaged, with a message, when
    // some cells could not be read.
    SheetColumns take();

private:
    std::vector<RowCells> rows_;
    std::int64_t unreadable_ = 0;
};

}  // namespace spreadsheet::package
