#pragma once
// The first table of an .ods package's content part: its cells in columns
// A-C, as texts, into SheetRows while the part streams past.

#include "spreadsheet/CellText.h"
#include "spreadsheet/package/SheetRows.h"
#include "spreadsheet/package/XmlPart.h"

#include <array>
#include <cstdint>
#include <optional>

namespace spreadsheet::package {

class OdsTable {
public:
    OdsTable(const CellText &text, SheetRows &rows) : text_(text), rows_(rows) {}

    // Reads the first table of content part `path`, rows and cells repeated
    // as often as they say; header rows and row groups are rows like any
    // other, covered cells cells like any other. Damaged when the part is
    // missing or malformed, has no table, or a cell's text is past any real
    // one; NotSpreadsheet when the document is no spreadsheet; TooManyRows for a value in A-C at or past row kMaxRows.
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
    void startCell(const XmlPart &xml);
    void finishCell();
    // Handles a node inside a cell; false when its text grows past the limit.
    bool cellContent(const XmlPart &xml, XmlPart::Node node);
    bool fail(ReadError error, const QString &message);

    const CellText &text_;
    SheetRows &rows_;
    State state_ = State::BeforeSpreadsheet;
    int tableDepth_ = 0;
    bool inCell_ = false;
    Cell cell_;
    std::int64_t row_ = 0, rowRepeat_ = 1, column_ = 0;
    std::array<QString, SheetRows::kColumns> texts_;
    ReadOutcome stopped_;
};

}  // namespace spreadsheet::package
