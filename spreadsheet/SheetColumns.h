#pragma once
// What every spreadsheet reader gives: the cells of the first sheet as the
// texts a person reading the sheet sees, or why the file could not be read.

#include "spreadsheet/ReadOutcome.h"
#include "spreadsheet/RowCells.h"
#include "spreadsheet/RowStore.h"

#include <QString>

#include <cstdint>
#include <map>

namespace spreadsheet {

// How many records of each id a sheet held, by record id.
using RecordCounts = std::map<std::uint16_t, int>;

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
        result.refuse(error, message);
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
