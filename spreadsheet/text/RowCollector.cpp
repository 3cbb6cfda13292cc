#include "spreadsheet/text/RowCollector.h"

#include <utility>

namespace spreadsheet {

bool RowCollector::add(std::size_t index, RowCells &&cells)
{
    if (!hasText(cells))
        return true;
    if (index >= std::size_t(kMaxRows))
        return false;
    rows_.resize(index, blankRow());
    fitRow(cells);
    rows_.push_back(std::move(cells));
    return true;
}

std::vector<RowCells> RowCollector::take()
{
    return std::exchange(rows_, {});
}

}  // namespace spreadsheet
