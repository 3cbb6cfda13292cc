#pragma once
// The cell records of one sheet substream.

#include "spreadsheet/CellText.h"
#include "spreadsheet/xls/WorkbookGlobals.h"

#include <array>
#include <vector>

namespace xls {

using SheetRows = std::vector<std::array<QString, 3>>;

// Reads the cells in columns A-C of the sheet whose BOF record starts at
// `globals.firstSheetOffset` into `rows`, rendered by `text`, and counts in
// `unknown` the sheet's records it does not know. Rows end at the last one
// holding a value; blank cells leave empty strings. Corrupt when the
// substream is cut off or a cell record is malformed.
Status readSheetColumns(Bytes stream, const WorkbookGlobals &globals, const spreadsheet::CellText &text, SheetRows &rows,
                        RecordCounts &unknown);

}  // namespace xls
