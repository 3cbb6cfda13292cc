#pragma once
// The cell records of one sheet substream.

#include "spreadsheet/CellText.h"
#include "spreadsheet/xls/WorkbookGlobals.h"

namespace xls {

// Reads the cells in columns A-C of the sheet whose BOF record starts at
// `globals.firstSheetOffset` into `out.rows`, rendered by `text`, and counts
// in `out.unknownRecords` the sheet's records it does not know. Rows end at
// the last one holding a value; blank cells leave empty strings. A cell
// record that cannot be read costs its cell, a sheet cut short the rows after
// the cut: both are read past, and mark `out` damaged with the first reason
// (cells past column C are not missed). Damaged when no sheet starts at the
// offset.
Status readSheetColumns(Bytes stream, const WorkbookGlobals &globals, const spreadsheet::CellText &text,
                        SheetColumns &out);

}  // namespace xls
