#pragma once
// A sheet part of an .xlsx package: its cells in columns A-IV, as texts, into
// SheetRows while the part streams past.

#include "spreadsheet/CellText.h"
#include "spreadsheet/package/CellStyles.h"
#include "spreadsheet/package/SharedStrings.h"
#include "spreadsheet/package/SheetRows.h"

#include <cstdint>
#include <string>

namespace spreadsheet::package {

class Worksheet {
public:
    Worksheet(const SharedStrings &strings, const CellStyles &styles, const CellText &text, bool date1904,
              SheetRows &rows)
        : strings_(strings), styles_(styles), text_(text), date1904_(date1904), rows_(rows)
    {
    }

    // Reads sheet part `path`. A cell or row without its reference follows
    // the one before. Damaged when the part is missing or malformed;
    // TooManyRows for a value in A-IV at or past row kMaxRows.
    ReadOutcome read(const ZipArchive &zip, std::string_view path);

private:
    enum class Type : std::uint8_t { Number, SharedString, Text, InlineText, Boolean, Error, Date };
    struct Cell {
        std::int64_t row = 0, column = 0;
        Type type = Type::Number;
        std::uint64_t xf = 0;
        bool formula = false, hasValue = false, hasInline = false;
        std::string value;  // <v>
        std::string inline_;  // <is>
    };

    void startCell(const XmlPart &xml);
    // Puts the finished cell in the rows; false past the row limit.
    bool finishCell();
    // The shared string a finished cell of that type shows; nullopt when its
    // index is not one.
    std::optional<RowStore::Text> sharedText(const Cell &cell) const;
    // The text of a finished cell of any other type; nullopt when its value
    // cannot be read.
    std::optional<QString> textOf(const Cell &cell) const;

    const SharedStrings &strings_;
    const CellStyles &styles_;
    const CellText &text_;
    bool date1904_;
    SheetRows &rows_;
    Cell cell_;
    std::int64_t row_ = -1;        // the current row, 0-based
    std::int64_t nextColumn_ = 0;  // where a cell without reference goes
};

}  // namespace spreadsheet::package
