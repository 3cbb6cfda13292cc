#pragma once
// The rows of a read sheet, kept compactly. A sheet of a million rows held
// as one list of strings per row costs a list and a string allocation per
// row and cell, several times the texts themselves. Here all texts live end
// to end in one pool, each cell is eight bytes naming its column and its
// text's place in the pool, and each row eight bytes naming its cells. A row
// becomes a RowCells only when a caller asks for it.
//
// Only cells with text are kept, in column order: a row reads as its cells
// from column A to the last with text, at least kMinColumns of them, blank
// cells empty. Blank rows between rows with cells are kept (they cost their
// eight bytes); there are no rows after the last with a cell.

#include "spreadsheet/RowCells.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

namespace spreadsheet {

class RowStore {
public:
    class Cell;

    // A text kept in the pool. Any number of cells may show the same text,
    // which is how a shared string or a repeated cell is kept once.
    class Text {
    public:
        Text() = default;
        qsizetype size() const { return qsizetype(length_); }
        // The same place in the pool: one text kept once.
        bool operator==(const Text &other) const = default;

    private:
        friend class RowStore;
        friend class Cell;
        Text(std::uint64_t offset, std::uint64_t length) : offset_(offset), length_(length) {}
        // 40 bits of offset address a terabyte of text: memory runs out first.
        std::uint64_t offset_ : 40 = 0;
        std::uint64_t length_ : 16 = 0;  // at most kMaxCellText
    };

    // One cell with text: its column and its text.
    class Cell {
    public:
        Cell() = default;
        Cell(qsizetype column, Text text)
            : offset_(text.offset_), length_(text.length_), column_(std::uint64_t(column))
        {
        }
        qsizetype column() const { return qsizetype(column_); }
        Text text() const { return {offset_, length_}; }

    private:
        std::uint64_t offset_ : 40 = 0;
        std::uint64_t length_ : 16 = 0;
        std::uint64_t column_ : 8 = 0;  // below kMaxColumns
    };

    // Reads the rows one by one, each as a RowCells.
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RowCells;
        using difference_type = std::ptrdiff_t;
        using reference = RowCells;
        using pointer = void;

        const_iterator() = default;
        RowCells operator*() const { return store_->row(index_); }
        const_iterator &operator++()
        {
            ++index_;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const const_iterator &other) const = default;

    private:
        friend class RowStore;
        const_iterator(const RowStore *store, std::size_t index) : store_(store), index_(index) {}
        const RowStore *store_ = nullptr;
        std::size_t index_ = 0;
    };

    // Reading.
    std::size_t size() const { return std::size_t(rows_.size()); }
    bool empty() const { return rows_.isEmpty(); }
    // Row `index` (below size()) as a list of texts, made now.
    RowCells row(std::size_t index) const;
    RowCells operator[](std::size_t index) const { return row(index); }
    // The text of the cell at `index` and `column`; empty for a blank cell
    // or one past the row's end. Valid until the store changes.
    QStringView cell(std::size_t index, qsizetype column) const;
    // The cells with text of row `index`, in column order; no copy made.
    // Valid until the store changes.
    std::span<const Cell> cells(std::size_t index) const;
    // What `text`, kept in this store, reads; valid until the store changes.
    QStringView text(Text text) const { return QStringView(pool_).sliced(qsizetype(text.offset_), text.size()); }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Whether both hold the same rows with the same texts.
    friend bool operator==(const RowStore &a, const RowStore &b);

    // Building.
    // Keeps `text`, cut to kMaxCellText, for cells to show. A long text
    // equal to the last long one kept is that one: a reader that copies a
    // shared string into each cell would otherwise keep it once per cell.
    Text keep(QStringView text);
    // Makes rows `index` to `index + count - 1` the cells of `cells` that
    // have text, each row showing the same kept texts, the rows before them
    // blank where there were none. Cells past kMaxColumns are dropped. A row
    // set again shows its new cells; the old ones stay in the store unused,
    // so readers set each row once but for rare repairs.
    void setRow(std::size_t index, const RowCells &cells, std::size_t count = 1);
    // The same with cells already kept, in column order, each column once;
    // `cells` must not be a view into this store.
    void setRow(std::size_t index, std::span<const Cell> cells, std::size_t count = 1);

private:
    struct Row {
        std::uint64_t first : 40 = 0;  // index in cells_ of its first cell
        std::uint64_t count : 24 = 0;  // its cells, at most kMaxColumns; none for a blank row
    };
    static_assert(sizeof(Cell) == 8 && sizeof(Row) == 8, "a cell and a row each take eight bytes");

    // Makes rows `index` to `index + count - 1` the cells from `first` to the
    // end of cells_.
    void placeCells(std::size_t index, qsizetype first, std::size_t count);

    // Qt's containers rather than std::vector: they grow an array of
    // trivially copyable items with realloc, in place where it can, instead
    // of holding the old block and its copy at once.
    QString pool_;
    QList<Cell> cells_;
    QList<Row> rows_;
    Text lastLong_;  // the last text of kLongText units or more kept
};

}  // namespace spreadsheet
