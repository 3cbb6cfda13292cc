#pragma once
// The cell records of one sheet substream.

#include "spreadsheet/CellText.h"
#include "spreadsheet/xls/WorkbookGlobals.h"

namespace spreadsheet::xls {

// Reads the cells in columns A-IV of the sheet whose BOF record starts at
// `globals.firstSheetOffset` in `reader`'s stream, rendered by `text`, and
// hands its rows to `sink` as they are read (all at the end for a sheet whose
// cells are not stored in row order); counts in `out.unknownRecords` the
// sheet's records it does not know. Rows end at the last one holding a
// value; blank cells are empty strings. A cell record that cannot be read
// costs its cell, a sheet cut short the rows after the cut: both are read
// past, and mark `out` damaged with the first reason (cells past column IV
// are not missed). Damaged, before any row, when no sheet starts at the offset.
Status readSheetColumns(biff::RecordReader &reader, const WorkbookGlobals &globals, const spreadsheet::CellText &text,
                        spreadsheet::RowSink &sink, spreadsheet::SheetOutcome &out);

}  // namespace spreadsheet::xls
