#pragma once
// The workbook globals substream: what every sheet's cells need to be read.

#include "spreadsheet/xls/CodePage.h"
#include "spreadsheet/NumberFormats.h"
#include "spreadsheet/xls/Status.h"

#include <vector>

namespace xls {

// What the globals substream says about the whole workbook.
struct WorkbookGlobals {
    bool biff8 = true;       // false for BIFF5 (Excel 5.0/95)
    bool date1904 = false;   // dates count from 1904-01-01
    CodePage codePage;       // text encoding of a BIFF5 workbook
    bool hasSheet = false;
    std::size_t firstSheetOffset = 0;  // stream offset of the first sheet's BOF
    std::vector<QString> sharedStrings;
    spreadsheet::NumberFormats formats;
};

// Reads the globals substream at the start of a decrypted workbook stream
// into `out`; Unsupported before BIFF5, Damaged when the substream is broken
// or names no sheet.
Status readWorkbookGlobals(Bytes stream, WorkbookGlobals &out);

}  // namespace xls
