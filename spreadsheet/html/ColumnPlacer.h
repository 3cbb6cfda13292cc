#pragma once
// Puts the cells of a table's rows on columns A-IV the way a browser lays out
// the table: a cell takes the first column left free in its row, a colspan
// takes the columns after it, and a rowspan keeps its columns taken in the
// rows below.

#include "spreadsheet/SheetColumns.h"

#include <array>

namespace spreadsheet::html {

class ColumnPlacer {
public:
    // Starts the next row: the columns that rowspans from above still cover
    // are taken.
    void startRow();
    // The column (below kMaxColumns) of the row's next cell, or -1 when it
    // falls past the last. colspan is at least 1; rowspan counts this row too.
    int place(int colspan, int rowspan);

private:
    std::array<int, kMaxColumns> coveredBelow_{};  // rows below the current one each column is still covered in
    std::array<bool, kMaxColumns> taken_{};
    int next_ = 0;
};

}  // namespace spreadsheet::html
