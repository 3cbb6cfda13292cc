#pragma once
// The workbook globals substream: what every sheet's cells need to be read.

#include "spreadsheet/xls/BiffRecords.h"
#include "spreadsheet/xls/CodePage.h"
#include "spreadsheet/xls/SharedStrings.h"
#include "spreadsheet/NumberFormats.h"
#include "spreadsheet/xls/Status.h"

#include <vector>

namespace spreadsheet::xls {

// What the globals substream says about the whole workbook.
struct WorkbookGlobals {
    bool biff8 = true;       // false for BIFF5 (Excel 5.0/95)
    bool date1904 = false;   // dates count from 1904-01-01
    CodePage codePage;       // text encoding of a BIFF5 workbook
    bool hasSheet = false;
    std::size_t firstSheetOffset = 0;  // stream offset of the first sheet's BOF
    SharedStrings sharedStrings;
    spreadsheet::NumberFormats formats;
};

// Reads the globals substream at the start of a workbook stream into `out`,
// `reader` standing at the stream's start. The globals end at their EOF
// record or, without one, where the next substream's BOF begins; a record
// broken in a way that costs no cell is passed over. A FILEPASS record sets
// `reader` to decrypt what follows with the built-in default password.
// Unsupported before BIFF5; PasswordProtected or Damaged as
// defaultPasswordCipher says; Damaged when the stream ends inside the
// globals, no sheet is named or the first sheet's BOUNDSHEET is broken.
Status readWorkbookGlobals(biff::RecordReader &reader, WorkbookGlobals &out);

}  // namespace spreadsheet::xls
