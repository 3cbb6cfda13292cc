#pragma once
// The workbook stream once it is out of its compound-file container.

#include "spreadsheet/xls/StreamSource.h"
#include "spreadsheet/xls/XlsReader.h"

namespace spreadsheet::xls {

// Columns A-IV of the first sheet of a BIFF5/BIFF8 workbook stream, handed
// to `sink`; refusals as for readColumnsAtoC (never NotSpreadsheet for the
// container), always before any row.
SheetOutcome readWorkbookStream(StreamSource &stream, spreadsheet::RowSink &sink, const QLocale &locale);

}  // namespace spreadsheet::xls
