#pragma once
// Keeps the rows of a sheet by their position while a reader walks through
// them, holding no row past the last one that has a cell.

#include "spreadsheet/SheetColumns.h"

#include <cstddef>

namespace spreadsheet {


class RowCollector {
public:
    // Keeps the cells with text as the row at index (0-based; each index
    // larger than the last). A row of empty cells keeps nothing and may lie
    // anywhere; returns false, keeping nothing, for a row with a cell at
    // index kMaxRows or past.
    bool add(std::size_t index, const RowCells &cells);

    // The rows kept, blank rows in between filled in, ending at the last row
    // with a cell; the collector is empty afterwards.
    RowStore take();

private:
    RowStore rows_;
};

}  // namespace spreadsheet
