#pragma once
// What one row of a read sheet is: its cells' texts from column A on, and
// the limits every reader keeps to.

#include <QList>
#include <QString>
#include <QStringView>

#include <algorithm>

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

// How much of `text` a cell keeps: all of it up to kMaxCellText units,
// one fewer where the cut would split a surrogate pair.
inline qsizetype clippedLength(QStringView text)
{
    if (text.size() <= kMaxCellText)
        return text.size();
    return text[kMaxCellText - 1].isHighSurrogate() ? kMaxCellText - 1 : kMaxCellText;
}

// Cuts `text` to clippedLength(); a text no longer is left as it is, its
// data still shared.
inline void clipCellText(QString &text)
{
    if (text.size() > kMaxCellText)
        text.truncate(clippedLength(text));
}

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

}  // namespace spreadsheet
