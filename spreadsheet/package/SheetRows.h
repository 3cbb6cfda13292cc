#pragma once
// The texts of columns A-C of the first sheet, kept as its part streams past:
// cells in other columns and rows that hold nothing cost no memory.

#include "spreadsheet/SheetColumns.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace spreadsheet::package {

class SheetRows {
public:
    static constexpr int kColumns = 3;

    // Puts `text` in the cell at 0-based `row` and `column`; a column past C,
    // a row before the first (a cell outside any row) or an empty text is dropped. False (and nothing kept) for a row at or
    // past kMaxRows.
    bool put(std::int64_t row, std::int64_t column, const QString &text);
    // Puts the three texts of `row` into the `count` rows from `row` on; a
    // row without text costs nothing however often it repeats. False for a
    // text that would land at or past kMaxRows.
    bool putRepeated(std::int64_t row, std::int64_t count, const std::array<QString, kColumns> &texts);
    // Counts a cell whose value could not be read (left empty).
    void countUnreadable() { ++unreadable_; }

    // The rows up to the last one with a text; damaged, with a message, when
    // some cells could not be read.
    SheetColumns take();

private:
    std::vector<std::array<QString, kColumns>> rows_;
    int unreadable_ = 0;
};

}  // namespace spreadsheet::package
