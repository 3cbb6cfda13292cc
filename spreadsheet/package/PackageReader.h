#pragma once
// Workbooks that are zip packages of XML parts: Office Open XML (.xlsx,
// .xlsm) and OpenDocument (.ods).

#include "spreadsheet/SheetColumns.h"

#include <QByteArray>
#include <QLocale>

namespace spreadsheet {

// Columns A-C of the first sheet (by sheet order, hidden or not) of an .xlsx,
// .xlsm or .ods workbook in memory, the kind told by the parts it holds, with
// numbers, dates and booleans written as the .xls reader writes them for
// `locale`. NotSpreadsheet for a file that is no zip archive or a package of
// another kind; PasswordProtected for an .ods whose content is encrypted;
// BinaryWorkbook for an .xlsb; Damaged for a zip whose parts would expand too
// far, a missing or damaged part, malformed XML; TooManyRows for a value in A-C at or past
// row kMaxRows. An empty first sheet is read with no rows; cells whose value
// cannot be read are left empty and mark the result damaged.
SheetColumns readWorkbookPackage(const QByteArray &file, const QLocale &locale);

}  // namespace spreadsheet
