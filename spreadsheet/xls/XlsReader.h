#pragma once
// The Excel 97-2003 workbook reader (BIFF8, and BIFF5 of Excel 5.0/95).

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QLocale>
#include <QString>

#include "spreadsheet/SheetColumns.h"

namespace spreadsheet::xls {

using spreadsheet::ReadError;
using spreadsheet::RecordCounts;
using spreadsheet::SheetColumns;
using spreadsheet::SheetOutcome;

// True when `head` (the first bytes of a file) starts like a file this
// reader takes: a compound file, or a workbook of Excel 2.x-4.0, which it
// refuses as Unsupported.
bool looksLikeWorkbook(QByteArrayView head);

// Damage, and what it costs. A workbook is refused only when its cells cannot
// be reached: a broken container, a stream that does not start with a BOF of
// Excel 5.0 or later, an encryption record that follows no published layout
// (Damaged) or a password other than the built-in default
// (PasswordProtected), globals cut short before any sheet or naming none, a
// broken entry for the first sheet, or no BOF where that entry points.
// Any other damage costs the record it is in, and the rest is read. Of that,
// only damage that can lose a cell of columns A-IV marks the result damaged,
// with the first reason in its message:
// - a cell record too short or malformed (its cell is lost; past column IV
//   nothing is lost);
// - a LABELSST cell whose string the shared string table does not hold,
//   because the table is missing or cut short (its text is lost; a table cut
//   short whose lost strings no cell of ours uses loses nothing);
// - a sheet that ends, cut short or without its EOF, before its last row
//   could be known (the rows after the cut are lost; those before are kept).
// Damage that only changes how a number is shown does not count: a FORMAT
// record cut short, or an XF record (which still holds its place among the
// cell formats), leaves the number in its cell, shown without that format, a
// date as its serial number; the columns read here hold barcodes, names and
// prices. Neither do the records the import never needs: a BOUNDSHEET after
// the first, the globals' EOF before the first sheet.

// Reads columns A-IV of the first sheet (in file order) of the .xls workbook
// open in `file` (a random-access device), handing each row to `sink` as it
// is read, and holding no more of the file in memory than its shared strings
// and a small window. Numbers are rendered with `locale` (decimal separator,
// short date/time). A refusal comes before any row. Never throws for a bad
// file: the refusal, or the damage, is in the result.
SheetOutcome readColumnsAtoC(QIODevice &file, spreadsheet::RowSink &sink, const QLocale &locale = QLocale::system());

// The same for a workbook held in memory, its rows in the result.
SheetColumns readColumnsAtoCFromBytes(const QByteArray &file, const QLocale &locale = QLocale::system());

// The zip package of an encrypted .xlsx, which Office keeps in a compound file.
struct EncryptedPackage : spreadsheet::ReadOutcome {
    bool found = false;  // the file is such a compound file
    QByteArray package;  // when found and not refused: the decrypted package
};

// The encrypted .xlsx package of the compound file open in `file`, decrypted
// with the built-in default password; not found for any other file (an .xls
// among them); refused as PasswordProtected (another password, or an
// encryption of a kind not decrypted here) or Damaged (streams malformed or
// cut short, or decrypting to no zip archive).
EncryptedPackage openEncryptedPackage(QIODevice &file);

}  // namespace spreadsheet::xls
