#pragma once
// The first table of an .ods package's content part: its cells in columns
// A-IV, as texts, into SheetRows while the part streams past.

#include "spreadsheet/CellText.h"
#include "spreadsheet/package/OdsNumberStyles.h"
#include "spreadsheet/package/SheetRows.h"
#include "spreadsheet/package/XmlPart.h"

#include <string>
#include <vector>
#include <cstdint>
#include <optional>

namespace spreadsheet::package {

class OdsTable {
public:
    // Numbers are shown with `styles`, to which the content part's own
    // automatic styles are added as they stream past.
    OdsTable(const CellText &text, OdsNumberStyles &styles, SheetRows &rows) : text_(text), styles_(styles), rows_(rows) {}

    // Reads the first table of content part `path`, rows and cells repeated
    // as often as they say; header rows and row groups are rows like any
    // other, covered cells cells like any other. Damaged when the part is
    // missing or malformed, has no table, or a cell's text is past any real
    // one; NotSpreadsheet when the document is no spreadsheet; TooManyRows for a value in A-IV at or past row kMaxRows.
    ReadOutcome read(const ZipArchive &zip, std::string_view path);

private:
    enum class State { BeforeSpreadsheet, BeforeTable, InTable, AfterTable };
    // What the current cell shows: a value from its attributes, or its
    // paragraphs; nothing when it has no value or an unreadable one.
    struct Cell {
        std::int64_t repeat = 1;
        std::optional<QString> value;
        bool fromParagraphs = false;
        bool unreadable = false;
        std::string paragraphs;
        int paragraphCount = 0, paragraphDepth = 0, annotationDepth = 0, nested = 0;
    };

    bool visit(const XmlPart &xml, XmlPart::Node node);
    void startColumn(const XmlPart &xml);
    void startCell(const XmlPart &xml);
    // The default cell style of the table's column `column` (below kMaxColumns).
    std::string_view columnStyle(std::int64_t column) const;
    void finishCell();
    // Handles a node inside a cell; false when its text grows past the limit.
    bool cellContent(const XmlPart &xml, XmlPart::Node node);
    bool fail(ReadError error, const QString &message);

    const CellText &text_;
    OdsNumberStyles &styles_;
    SheetRows &rows_;
    State state_ = State::BeforeSpreadsheet;
    int tableDepth_ = 0;
    bool inCell_ = false;
    Cell cell_;
    std::int64_t row_ = 0, rowRepeat_ = 1, column_ = 0;
    RowCells texts_;  // the current row, one buffer reused row after row
    std::vector<std::string> columnStyles_;  // default cell styles of the columns declared, up to kMaxColumns
    std::int64_t columnsSeen_ = 0;
    ReadOutcome stopped_;
};

}  // namespace spreadsheet::package
