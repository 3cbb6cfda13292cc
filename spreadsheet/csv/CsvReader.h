#pragma once
// Reads delimited text files (.csv, .txt): columns A-IV are the first
// fields of each record, exactly as written in the file.

#include "spreadsheet/SheetColumns.h"

#include <QByteArray>
#include <QByteArrayView>

namespace spreadsheet {

// The fields of every record up to kMaxColumns, record k as sheet row k + 1 (a blank
// line is an empty row). Encoding and delimiter are found from the bytes (see
// TextEncoding.h, DelimiterSniffer.h). No rows for empty text; TooManyRows past
// kMaxRows; a quoted field left open at the end takes the rest of the file
// and the result is marked damaged.
SheetColumns readDelimitedText(const QByteArray &bytes);

// True when the first bytes of a file read as text: valid UTF-16 after its
// byte-order mark, valid UTF-8, or else Windows-1254, with no control
// character but tab, CR and LF. A sequence cut by the end of the bytes is
// allowed; empty bytes are text.
bool looksLikeText(QByteArrayView head);

}  // namespace spreadsheet
