#pragma once
// The Excel 97-2003 workbook reader (BIFF8, and BIFF5 of Excel 5.0/95).

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>

#include "spreadsheet/SheetColumns.h"

namespace xls {

using spreadsheet::ReadError;
using spreadsheet::RecordCounts;
using spreadsheet::SheetColumns;

// True when `head` (the first bytes of a file) starts like a file this
// reader takes: a compound file, or a workbook of Excel 2.x-4.0, which it
// refuses as Unsupported.
bool looksLikeWorkbook(QByteArrayView head);

// Reads columns A-C of the first sheet (in file order) of an .xls workbook
// held in memory. Numbers are rendered with `locale` (decimal separator,
// short date/time). Never throws for a bad file: the refusal is in the result.
SheetColumns readColumnsAtoCFromBytes(const QByteArray &file, const QLocale &locale = QLocale::system());

}  // namespace xls
