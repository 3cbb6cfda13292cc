#pragma once
// The shared string table of an .xlsx package, which cells refer to by
// number. It is kept whole: any cell of the first sheet may use any entry.

#include "spreadsheet/package/SheetRows.h"
#include "spreadsheet/package/XmlPart.h"

#include <vector>

namespace spreadsheet::package {

class SharedStrings {
public:
    // Reads part `path`: each <si> is its <t> text, or the texts of its rich
    // runs end to end, with its `_xHHHH_` escapes decoded and cut to
    // kMaxCellText; phonetic runs (<rPh>) are left out. The texts are kept in
    // `rows`, once each, for the cells that show them. Damaged when the part
    // is missing or malformed.
    ReadOutcome read(const ZipArchive &zip, std::string_view path, SheetRows &rows);
    // Entry `index`; nullopt past the end of the table.
    std::optional<RowStore::Text> at(std::size_t index) const;

private:
    std::vector<RowStore::Text> strings_;
};

}  // namespace spreadsheet::package
