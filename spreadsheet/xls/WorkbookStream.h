#pragma once
// The workbook stream once it is out of its compound-file container.

#include "spreadsheet/xls/ByteView.h"
#include "spreadsheet/xls/XlsReader.h"

namespace xls {

// Columns A-C of the first sheet of a BIFF5/BIFF8 workbook stream; refusals
// as for readColumnsAtoC (never NotCompoundFile or NoWorkbookStream).
SheetColumns readWorkbookStream(Bytes stream, const QLocale &locale);

}  // namespace xls
