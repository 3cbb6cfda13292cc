#include "spreadsheet/html/ColumnPlacer.h"

#include <algorithm>

namespace spreadsheet::html {

void ColumnPlacer::startRow()
{
    for (int column = 0; column < kMaxColumns; ++column) {
        taken_[column] = coveredBelow_[column] > 0;
        if (taken_[column])
            --coveredBelow_[column];
    }
    next_ = 0;
}

int ColumnPlacer::place(int colspan, int rowspan)
{
    while (next_ < kMaxColumns && taken_[next_])
        ++next_;
    if (next_ >= kMaxColumns)
        return -1;
    const int column = next_;
    for (int spanned = column; spanned < std::min(kMaxColumns, column + colspan); ++spanned) {
        taken_[spanned] = true;
        coveredBelow_[spanned] = rowspan - 1;
    }
    next_ = std::min(kMaxColumns, column + colspan);
    return column;
}

}  // namespace spreadsheet::html
