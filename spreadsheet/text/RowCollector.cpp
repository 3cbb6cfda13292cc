#include "spreadsheet/text/RowCollector.h"

#include <utility>

namespace spreadsheet {

bool RowCollector::add(std::size_t index, const RowCells &cells)
{
    if (!hasText(cells))
        return true;
    if (index >= std::size_t(kMaxRows))
        return false;
    rows_.setRow(index, cells);
    return true;
}

RowStore RowCollector::take()
{
    return std::exchange(rows_, {});
}

}  // namespace spreadsheet
