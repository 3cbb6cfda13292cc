#pragma once
// What every spreadsheet reader gives: the cells of the first sheet as the
// texts a person reading the sheet sees, or why the file could not be read.

#include <QList>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "spreadsheet/ReadOutcome.h"

namespace spreadsheet {

// The most rows a sheet may have: as many as the grid holds, and as many as
// the largest sheet of the spreadsheet programs people use.
constexpr int kMaxRows = 1'048'576;

// The most columns a row may have: A-IV, the widest sheet the .xls format
// holds, so that every format reads the same columns. Cells past IV are
// dropped.
constexpr int kMaxColumns = 256;

// The columns every row has, blank or not: A, B and C, which the grid shows.
constexpr int kMinColumns = 3;

// The most characters (UTF-16 units) a cell holds, as in the spreadsheet
// programs people use; every reader cuts a longer text to this.
constexpr qsizetype kMaxCellText = 32'767;

// Cuts `text` to kMaxCellText units, one fewer where the cut would split a
// surrogate pair; a text no longer is left as it is, its data still shared.
inline void clipCellText(QString &text)
{
    if (text.size() > kMaxCellText)
        text.truncate(text[kMaxCellText - 1].isHighSurrogate() ? kMaxCellText - 1 : kMaxCellText);
}

// How many records of each id a sheet held, by record id.
using RecordCounts = std::map<std::uint16_t, int>;

// The texts of the cells of one row from column A on: at least kMinColumns
// of them, more up to the last cell with text, at most kMaxColumns; blank
// cells are empty strings.
using RowCells = QList<QString>;

// Whether any cell of `cells` has text.
inline bool hasText(const RowCells &cells)
{
    return std::any_of(cells.cbegin(), cells.cend(), [](const QString &text) { return !text.isEmpty(); });
}

// Cell `column` (below kMaxColumns) of `cells`, the row first grown with
// blank cells to hold it and to at least kMinColumns cells. A list that has
// no room yet gets exactly that, so that rows of A-C hold no spare room.
inline QString &cellAt(RowCells &cells, qsizetype column)
{
    const qsizetype width = std::max<qsizetype>(column + 1, kMinColumns);
    if (cells.capacity() == 0)
        cells = RowCells(width);
    else if (cells.size() < width)
        cells.resize(width);
    return cells[column];
}

// A row of blank cells; its copies share its data, so blank rows cost no
// memory of their own.
inline const RowCells &blankRow()
{
    static const RowCells blank(kMinColumns);
    return blank;
}

// Makes `cells` a row as readers hand it out: blank cells after the last one
// with text dropped, blank cells added up to kMinColumns; a row of no cells
// becomes a copy of blankRow(). Otherwise the list's capacity is left as it
// was, so that a buffer reused row after row keeps it.
inline void fitRow(RowCells &cells)
{
    if (cells.isEmpty()) {
        cells = blankRow();
        return;
    }
    qsizetype width = cells.size();
    while (width > kMinColumns && cells.at(width - 1).isEmpty())
        --width;
    if (width != cells.size() || width < kMinColumns)
        cells.resize(std::max<qsizetype>(width, kMinColumns));
}

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
// rows[k] holds sheet row k + 1; blank cells are empty strings; the vector
// ends at the last row that has a cell.
struct SheetColumns : SheetOutcome {
    std::vector<RowCells> rows;

    // A refusal with its reason and no rows.
    static SheetColumns refused(ReadError error, const QString &message)
    {
        SheetColumns result;
        result.refuse(error, message);
        return result;
    }

    // The result of a read that ended with `outcome`, its rows gathered in
    // `rows` (by a RowTable); no rows when it was refused.
    static SheetColumns gathered(SheetOutcome outcome, std::vector<RowCells> rows)
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

// A sink that keeps every row in a table.
class RowTable final : public RowSink {
public:
    // Fills `rows`, which must outlive the sink.
    explicit RowTable(std::vector<RowCells> &rows) : rows_(rows) {}

    void expectRows(std::size_t rows) override { rows_.reserve(std::min<std::size_t>(rows, kMaxRows)); }
    void row(std::size_t index, const RowCells &cells) override
    {
        if (rows_.size() <= index)
            rows_.resize(index + 1);
        rows_[index] = cells;
    }

private:
    std::vector<RowCells> &rows_;
};

}  // namespace spreadsheet
