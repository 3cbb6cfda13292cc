#pragma once
// The cells of columns A-C of the first sheet, kept as they arrive and turned
// into texts once the whole file has been read: formats, shared strings and
// formula results may come after the cells that use them.

#include "spreadsheet/SheetColumns.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace spreadsheet {
class CellText;
}

namespace spreadsheet::orcusimport {

class NumberFormatStyles;
class SharedStrings;

// Thrown from inside the import when a value lands at or past row kMaxRows of
// the first sheet: it ends the import, which reports TooManyRows.
struct RowLimitReached {};

class ColumnCells {
public:
    static constexpr int kColumns = 3;

    // Each setter ignores cells outside columns A-C and throws RowLimitReached
    // for a row at or past kMaxRows.
    void setNumber(int row, int column, double value);
    // A date and time as a serial day number counted as the workbook's 1900 system does.
    void setCalendar(int row, int column, double serial);
    void setSharedString(int row, int column, std::size_t id);
    void setText(int row, int column, std::string_view utf8);
    void setBoolean(int row, int column, bool value);
    // A value that never came or cannot be read (a formula without its cached
    // result, a date that does not exist): empty, and counted.
    void setUnreadable(int row, int column);
    // The cell format; a format alone does not make a row.
    void setFormat(int row, int column, std::size_t xf);
    // Copies the cell at (row, column) into the `count` cells below it.
    void fillDown(int row, int column, int count);

    // The texts, up to the last row with a value in A-C. A cell whose shared
    // string does not exist, or a formula without a result, is left empty and
    // marks the sheet damaged.
    void render(const CellText &text, const NumberFormatStyles &styles, const SharedStrings &strings,
                SheetColumns &sheet) const;

private:
    enum class Kind : std::uint8_t { Blank, Number, Calendar, SharedString, Text, Boolean, Unreadable };
    struct Cell {
        double number = 0;     // Number, Calendar, Boolean (0 or 1)
        std::uint32_t ref = 0;  // SharedString: its id; Text: index in texts_
        std::uint32_t xf = 0;
        Kind kind = Kind::Blank;
    };

    // The cell to change, or nullptr outside A-C.
    Cell *cell(int row, int column);
    void put(int row, int column, Kind kind, double number, std::uint32_t ref = 0);
    QString textOf(const Cell &cell, const CellText &text, const NumberFormatStyles &styles,
                   const SharedStrings &strings, int &missing) const;

    std::vector<std::array<Cell, kColumns>> rows_;
    std::vector<std::string> texts_;
    std::size_t lastRow_ = 0;  // one past the last row with a value
};

}  // namespace spreadsheet::orcusimport
