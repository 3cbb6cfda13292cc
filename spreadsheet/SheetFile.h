#pragma once
// Reads the first sheet of any spreadsheet file the tool knows, whatever its
// name says: the kind is told by the file's content.

#include <QByteArray>
#include <QLocale>
#include <QString>

#include "spreadsheet/SheetColumns.h"

namespace spreadsheet {

// The cells of the first sheet of the file at `path`, columns A-IV, numbers and dates in
// `locale`'s forms, each text cut to kMaxCellText. A file with no cell in A-IV is refused as Empty; more rows
// than kMaxRows as TooManyRows. Never throws for a bad file.
SheetColumns readSheet(const QString &path, const QLocale &locale = QLocale::system());

// The same rows handed to `sink` one by one, with the outcome returned: an
// .xls workbook as its records are read, so that its rows are never all in
// memory at once; any other kind once the whole file is read. A refusal
// comes before any row.
SheetOutcome readSheet(const QString &path, RowSink &sink, const QLocale &locale = QLocale::system());

// The same for a file already in memory (CannotOpen never occurs).
SheetColumns readSheetFromBytes(const QByteArray &file, const QLocale &locale = QLocale::system());

}  // namespace spreadsheet
