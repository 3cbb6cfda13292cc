#include "spreadsheet/text/RowCollector.h"

#include <algorithm>
#include <utility>

namespace spreadsheet {

bool RowCollector::add(std::size_t index, RowCells &&cells)
{
    if (std::all_of(cells.begin(), cells.end(), [](const QString &cell) { return cell.isEmpty(); }))
        return true;
    if (index >= std::size_t(kMaxRows))
        return false;
    rows_.resize(index);
    rows_.push_back(std::move(cells));
    return true;
}

std::vector<RowCells> RowCollector::take()
{
    return std::exchange(rows_, {});
}

}  // namespace spreadsheet
