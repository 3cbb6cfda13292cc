#pragma once
// Internal to spreadsheet_write, whose callers never see libxlsxwriter.
// What every workbook the tool writes shares: texts made fit for a cell, the
// column widths, libxlsxwriter run with plain number formatting, and the
// finished file read back before it replaces the one at its path.

#include "platform/outcome/Outcome.h"
#include "spreadsheet/SheetColumns.h"

#include <QString>

#include <xlsxwriter.h>

#include <functional>
#include <span>

namespace spreadsheet {

// `text` as a cell can hold it: what XML cannot carry (control characters
// other than tab and line feed, unpaired surrogates, U+FFFE, U+FFFF) is
// dropped, a carriage return becomes a line feed ("\r\n" one line feed), and
// a text longer than kMaxCellText is cut there, never inside a surrogate pair.
QString storableText(const QString &text);

// The failure of `step`, "<step>: <libxlsxwriter's words for error>" as its detail.
platform::Outcome writerError(const QString &step, lxw_error error);

// Sets the widths, in characters, of the first columns of `sheet`.
platform::Outcome setColumnWidths(lxw_worksheet *sheet, std::span<const double> widths);

// Lays the rows out in a new workbook.
using WorkbookFiller = std::function<platform::Outcome(lxw_workbook *book)>;

// What the cells of written row `row` (0-based) must read back as, from A on.
using ExpectedCells = std::function<RowCells(std::size_t row)>;

// Writes a new workbook to `path`, replacing a file there: `fill` lays it
// out, with numbers printed with a decimal point whatever the locale; the
// result is read back, and the cells of its first `rows` rows must be
// `expected` (rows after the last with text may be missing) before it takes
// the place of `path`. A failure (its reason names the file, its detail says
// why in plain English) leaves no file at `path`, or the file that was there
// as it was.
platform::Outcome writeCheckedWorkbook(const QString &path, const WorkbookFiller &fill, std::size_t rows,
                                       const ExpectedCells &expected);

}  // namespace spreadsheet
