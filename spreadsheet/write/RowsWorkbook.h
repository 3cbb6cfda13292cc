#pragma once
// Rows of texts written to a new .xlsx workbook that the tool can load
// again: the columns hold what the grid reads, the last one a note for the
// person.

#include <QString>

#include <QStringList>
#include <vector>

#include "platform/outcome/Outcome.h"

namespace spreadsheet {

// The texts of one written row: columns A, B, C, … of the sheet.
using RowTexts = QStringList;

// The most characters a cell holds; a spreadsheet program refuses longer texts.
constexpr qsizetype kMaxCellChars = 32'767;

// Writes `rows` to a new workbook at `path`, replacing a file there: the
// first sheet, rows[k] on sheet row k + 1, every cell a string exactly as
// given (an empty text leaves its cell empty); the last column of the widest
// row, the note, is wide and wraps its lines. Texts are
// made fit to store: what XML cannot carry (control characters other than
// tab and line feed, unpaired surrogates, U+FFFE, U+FFFF) is dropped, a
// carriage return becomes a line feed ("\r\n" one line feed),
// and a text longer than kMaxCellChars is cut there, never inside a
// surrogate pair. The workbook is read back before it takes the place of
// `path`. A failure says why the file was not written (missing folder, no
// permission, the writer's own error, more rows than a sheet holds, a
// workbook that does not read back as written) and leaves no file at
// `path`, or the file that was there as it was.
platform::Outcome writeRowsWorkbook(const QString &path, const std::vector<RowTexts> &rows);

}  // namespace spreadsheet
