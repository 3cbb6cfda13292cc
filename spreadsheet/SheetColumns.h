#pragma once
// What every spreadsheet reader gives: columns A-C of the first sheet as the
// texts a person reading the sheet sees, or why the file could not be read.

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace spreadsheet {

// The most rows a sheet may have: as many as the grid holds, and as many as
// the largest sheet of the spreadsheet programs people use.
constexpr int kMaxRows = 1'048'576;

// Why a file was refused; None when it was read.
enum class ReadError {
    None,
    CannotOpen,         // missing or unreadable file
    Empty,              // no cell in columns A-C of the first sheet, or a file of no bytes
    NotSpreadsheet,     // none of the formats this reader knows
    PasswordProtected,  // encrypted with a password that is not the built-in default
    Damaged,            // structure broken or cut short, or a zip that would expand past the limits
    Unsupported,        // a spreadsheet of a kind too old to read (Excel 2.x-4.x)
    TooManyRows,        // more rows than kMaxRows
};

// How many records of each id a sheet held, by record id.
using RecordCounts = std::map<std::uint16_t, int>;

// How reading a file went: read whole, read in part, or refused and why.
struct ReadOutcome {
    ReadError error = ReadError::None;
    QString message;  // why, in plain English, when error != None or damaged
    // The file was damaged in a part the cells may have lived in: the rows
    // are what could be read, and some cells may be missing.
    bool damaged = false;

    bool ok() const { return error == ReadError::None; }
};

// Columns A, B and C of the first sheet (by sheet order, hidden or not).
// rows[k] holds sheet row k + 1; blank cells are empty strings; the vector
// ends at the last row that has any of the three cells.
struct SheetColumns : ReadOutcome {
    std::vector<std::array<QString, 3>> rows;
    // Records of the first sheet (its embedded charts aside) that the reader
    // neither reads nor knows to pass over, in formats made of numbered
    // records (.xls): a cell it cannot read shows here instead of going
    // missing unseen. Empty when every record was known.
    RecordCounts unknownRecords;

    // A refusal with its reason and no rows.
    static SheetColumns refused(ReadError error, const QString &message)
    {
        SheetColumns result;
        result.error = error;
        result.message = message;
        return result;
    }

    // The refusal of a sheet with more rows than kMaxRows, the same from every reader.
    static SheetColumns tooManyRows()
    {
        return refused(ReadError::TooManyRows, QStringLiteral("the sheet has more than %1 rows").arg(kMaxRows));
    }
};

}  // namespace spreadsheet
