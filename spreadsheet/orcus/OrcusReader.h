#pragma once
// Office Open XML (.xlsx, .xlsm) and OpenDocument (.ods) workbooks, read
// through liborcus into columns A-C of the first sheet.

#include "spreadsheet/SheetColumns.h"

#include <QByteArray>
#include <QLocale>

namespace spreadsheet {

// Columns A-C of the first sheet (by sheet order, hidden or not) of an .xlsx
// or .xlsm workbook in memory, with numbers, dates and booleans written as
// the .xls reader writes them for `locale`. A file that is not a zip archive
// is NotSpreadsheet; one whose parts would expand too far, or that the
// library cannot read, is Damaged; a value at or past row kMaxRows is
// TooManyRows. An empty first sheet is read with no rows.
SheetColumns readOpenXml(const QByteArray &file, const QLocale &locale);

// The same for an .ods workbook.
SheetColumns readOpenDocument(const QByteArray &file, const QLocale &locale);

}  // namespace spreadsheet
