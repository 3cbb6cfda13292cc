#pragma once
// Reads the first sheet of any spreadsheet file the tool knows, whatever its
// name says: the kind is told by the file's content.

#include <QByteArray>
#include <QLocale>
#include <QString>

#include "spreadsheet/SheetColumns.h"

namespace spreadsheet {

// Columns A-C of the first sheet of the file at `path`, numbers and dates in
// `locale`'s forms. A file with no cell in A-C is refused as Empty; more rows
// than kMaxRows as TooManyRows. Never throws for a bad file.
SheetColumns readSheet(const QString &path, const QLocale &locale = QLocale::system());

// The same for a file already in memory (CannotOpen never occurs).
SheetColumns readSheetFromBytes(const QByteArray &file, const QLocale &locale = QLocale::system());

}  // namespace spreadsheet
