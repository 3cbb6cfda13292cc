#include "spreadsheet/html/ColumnPlacer.h"

#include <algorithm>

namespace spreadsheet::html {

namespace {

constexpr int kColumns = 3;

}  // namespace

void ColumnPlacer::startRow()
{
    for (int column = 0; column < kColumns; ++column) {
        taken_[column] = coveredBelow_[column] > 0;
        if (taken_[column])
            --coveredBelow_[column];
    }
    next_ = 0;
}

int ColumnPlacer::place(int colspan, int rowspan)
{
    while (next_ < kColumns && taken_[next_])
        ++next_;
    if (next_ >= kColumns)
        return -1;
    const int column = next_;
    for (int spanned = column; spanned < std::min(kColumns, column + colspan); ++spanned) {
        taken_[spanned] = true;
        coveredBelow_[spanned] = rowspan - 1;
    }
    next_ = std::min(kColumns, column + colspan);
    return column;
}

}  // namespace spreadsheet::html
