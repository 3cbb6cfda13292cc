#pragma once
// Expected rows written as UTF-8 literals.

#include "spreadsheet/SheetColumns.h"
#include "tests/common/QtPrinters.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace spreadsheettest {

using Rows = std::vector<std::array<QString, 3>>;

inline Rows rows(std::initializer_list<std::array<const char *, 3>> cells)
{
    Rows out;
    for (const auto &row : cells)
        out.push_back({QString::fromUtf8(row[0]), QString::fromUtf8(row[1]), QString::fromUtf8(row[2])});
    return out;
}

}  // namespace spreadsheettest
