#pragma once
// Contract for the workbook reader; the implementation may add members but
// keeps these names and meanings.

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace xls {

// Why a workbook was refused; None when it was read.
enum class ReadError {
    None,
    CannotOpen,        // missing or unreadable file
    NotCompoundFile,   // not an OLE compound file (text, zip/xlsx, ...)
    NoWorkbookStream,  // compound file without "Workbook"/"Book"
    Encrypted,         // FILEPASS present
    Unsupported,       // BIFF version older than 5
    Corrupt,           // structure broken or truncated
};

// How many records of each id a sheet held, by record id.
using RecordCounts = std::map<std::uint16_t, int>;

// Columns A, B and C of the first sheet as the text a person reading the
// sheet sees. rows[k] holds sheet row k + 1; blank cells are empty strings;
// the vector ends at the last row that has any of the three cells.
struct SheetColumns {
    ReadError error = ReadError::None;
    QString message;  // human-readable reason when error != None
    std::vector<std::array<QString, 3>> rows;
    // Records of the first sheet (its embedded charts aside) that the reader
    // neither reads nor knows to pass over: a cell it cannot read shows here
    // instead of going missing unseen. Empty when every record was known.
    RecordCounts unknownRecords;

    bool ok() const { return error == ReadError::None; }
};

// Reads columns A–C of the first sheet (in file order) of an .xls workbook.
// Numbers are rendered with `locale` (decimal separator, short date/time).
// Never throws for a bad file: the refusal is in the result.
SheetColumns readColumnsAtoC(const QString &path, const QLocale &locale = QLocale::system());

// The same for a workbook already in memory (CannotOpen never occurs).
SheetColumns readColumnsAtoCFromBytes(const QByteArray &file, const QLocale &locale = QLocale::system());

}  // namespace xls
