#pragma once
// The Excel 97-2003 workbook reader (BIFF8, and BIFF5 of Excel 5.0/95).

#include <QByteArray>
#include <QLocale>
#include <QString>

#include "spreadsheet/SheetColumns.h"

namespace xls {

using spreadsheet::ReadError;
using spreadsheet::RecordCounts;
using spreadsheet::SheetColumns;

// Reads columns A–C of the first sheet (in file order) of an .xls workbook.
// Numbers are rendered with `locale` (decimal separator, short date/time).
// Never throws for a bad file: the refusal is in the result.
SheetColumns readColumnsAtoC(const QString &path, const QLocale &locale = QLocale::system());

// The same for a workbook already in memory (CannotOpen never occurs).
SheetColumns readColumnsAtoCFromBytes(const QByteArray &file, const QLocale &locale = QLocale::system());

}  // namespace xls
