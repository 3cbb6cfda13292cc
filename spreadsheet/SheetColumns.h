#pragma once
// What every spreadsheet reader gives: the cells of the first sheet as the
// texts a person reading the sheet sees, or why the file could not be read.

#include "spreadsheet/RowCells.h"
#include "spreadsheet/RowStore.h"

#include <QString>

#include <cstdint>
#include <map>

namespace spreadsheet {

// Why a file was refused; None when it was read.
enum class ReadError {
    None,
    CannotOpen,         // missing or unreadable file
    Empty,              // no cell in columns A-IV of the first sheet, or a file of no bytes
    NotSpreadsheet,     // none of the formats this reader knows
    PasswordProtected,  // encrypted with a password that is not the built-in default
    Damaged,            // structure broken or cut short, or a zip that would expand past the limits
    Unsupported,        // a spreadsheet of a kind too old to read (Excel 2.x-4.x)
    TooManyRows,        // more rows than kMaxRows
    BinaryWorkbook,     // an Excel binary workbook (.xlsb), which no reader here reads
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

// Takes the rows of a sheet one by one as a reader reads them.
class RowSink {
public:
    virtual ~RowSink() = default;

    // A hint, before the first row, that about `rows` rows will follow; the
    // file's claim, which may be wrong either way. Ignored by default.
    virtual void expectRows(std::size_t rows) { Q_UNUSED(rows); }
    // Row `index` (0-based), complete. Rows come in order, each once, blank
    // rows between two rows with cells included, none after the last of
    // those. `cells` is valid only during the call.
    virtual void row(std::size_t index, const RowCells &cells) = 0;
};

// How reading a sheet went, for a reader that hands its rows to a RowSink.
struct SheetOutcome : ReadOutcome {
    // Records of the first sheet (its embedded charts aside) that the reader
    // neither reads nor knows to pass over, in formats made of numbered
    // records (.xls): a cell it cannot read shows here instead of going
    // missing unseen. Empty when every record was known.
    RecordCounts unknownRecords;
};

// The cells of the first sheet (by sheet order, hidden or not).
// rows.row(k) holds sheet row k + 1; blank cells are empty strings; the
// rows end at the last row that has a cell.
struct SheetColumns : SheetOutcome {
    RowStore rows;

    // A refusal with its reason and no rows.
    static SheetColumns refused(ReadError error, const QString &message)
    {
        SheetColumns result;
        result.error = error;
        result.message = message;
        return result;
    }

    // The result of a read that ended with `outcome`, its rows gathered in
    // `rows` (by a RowTable); no rows when it was refused.
    static SheetColumns gathered(SheetOutcome outcome, RowStore rows)
    {
        SheetColumns result;
        static_cast<SheetOutcome &>(result) = std::move(outcome);
        if (result.ok())
            result.rows = std::move(rows);
        return result;
    }

    // The refusal of a sheet with more rows than kMaxRows, the same from every reader.
    static SheetColumns tooManyRows()
    {
        return refused(ReadError::TooManyRows, QStringLiteral("the sheet has more than %1 rows").arg(kMaxRows));
    }
};

// A sink that keeps every row in a store.
class RowTable final : public RowSink {
public:
    // Fills `rows`, which must outlive the sink.
    explicit RowTable(RowStore &rows) : rows_(rows) {}

    void row(std::size_t index, const RowCells &cells) override { rows_.setRow(index, cells); }

private:
    RowStore &rows_;
};

}  // namespace spreadsheet
