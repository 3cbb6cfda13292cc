#include "spreadsheet/xls/SheetReader.h"

#include "spreadsheet/xls/BiffRecords.h"
#include "spreadsheet/xls/SkippedRecords.h"

#include <algorithm>
#include <cstring>

namespace spreadsheet::xls {
namespace {

constexpr std::size_t kMaxRows = 65536;  // row numbers are 16-bit

// The number an RK value packs into 30 bits: an integer or the high half of
// a double, optionally to be divided by 100.
double decodeRk(std::uint32_t rk)
{
    double value;
    if (rk & 0x02) {
        value = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100.0 : value;
}

// Where cells were lost: the first reason, and how many places in all.
class Damage {
public:
    void note(const QString &why)
    {
        if (places_++ == 0)
            first_ = why;
    }
    // Marks `out` damaged with the first reason, when there was any.
    void report(spreadsheet::SheetOutcome &out) const
    {
        out.damaged = places_ > 0;
        if (places_ == 1)
            out.damage = QStringLiteral("damaged sheet: %1").arg(first_);
        else if (places_ > 1)
            out.damage = QStringLiteral("damaged sheet: %1, and %2 more damaged places").arg(first_).arg(places_ - 1);
    }

private:
    QString first_;
    int places_ = 0;
};

// Hands the sheet's rows to the sink in order, each once and complete. A
// sheet stored row after row streams: a row is given once a later row
// begins, its texts written in place into one row buffer that keeps its
// texts' buffers from row to row, so a number costs no allocation unless
// the sink keeps the row. A sheet with cells stored after a later row is
// held whole and its rows given at the end.
class RowAssembler {
public:
    // `inRowOrder`: no cell comes after a cell of a later row.
    RowAssembler(spreadsheet::RowSink &sink, bool inRowOrder) : sink_(sink), inRowOrder_(inRowOrder) {}

    // Where to write the text of cell (`row`, `column` < kMaxColumns), now.
    QString &cell(std::uint16_t row, std::uint16_t column)
    {
        if (!inRowOrder_) {
            if (held_.size() <= row)
                held_.resize(std::size_t(row) + 1);
            return spreadsheet::cellAt(held_[row], column);
        }
        if (gathering_ && row != row_)
            flush();
        if (!gathering_) {
            startRow();
            row_ = row;
            gathering_ = true;
        }
        return spreadsheet::cellAt(cells_, column);
    }
    // Gives the rows not given yet.
    void finish()
    {
        flush();
        for (std::size_t row = 0; row < held_.size(); ++row) {
            spreadsheet::fitRow(held_[row]);
            sink_.row(row, held_[row]);
        }
    }
    // Passes the number of rows the sheet claims on to the sink, as a hint.
    void expect(std::size_t rows) { sink_.expectRows(std::min<std::size_t>(rows, kMaxRows)); }
    // How many rows there are so far, up to the last one with a cell.
    std::size_t rows() const { return !inRowOrder_ ? held_.size() : gathering_ ? std::size_t(row_) + 1 : given_; }

private:
    // Empties the row buffer for the next row. A buffer the sink kept a copy
    // of is the sink's now: the next row gets a new one of exactly A-C, so
    // that a kept row of the usual three columns holds no spare room.
    void startRow()
    {
        if (!cells_.isDetached()) {
            cells_ = spreadsheet::RowCells(spreadsheet::kMinColumns);
            return;
        }
        cells_.resize(spreadsheet::kMinColumns);
        for (QString &text : cells_)
            text.resize(0);
    }
    // Gives the row being gathered, and the blank rows before it.
    void flush()
    {
        if (!gathering_)
            return;
        for (; given_ < row_; ++given_)
            sink_.row(given_, spreadsheet::blankRow());
        spreadsheet::fitRow(cells_);
        sink_.row(given_++, cells_);
        gathering_ = false;
    }

    spreadsheet::RowSink &sink_;
    const bool inRowOrder_;
    spreadsheet::RowCells cells_;  // the row being gathered
    std::vector<spreadsheet::RowCells> held_;  // the rows of a sheet not in row order
    std::size_t given_ = 0;  // rows handed to the sink
    std::uint16_t row_ = 0;  // the row being gathered, when gathering_
    bool gathering_ = false;
};

// Turns the sheet's cell records into rows of text.
class SheetCells {
public:
    SheetCells(const WorkbookGlobals &globals, const spreadsheet::CellText &text, spreadsheet::RowSink &sink,
               bool inRowOrder, spreadsheet::SheetOutcome &out)
        : globals_(globals), text_(text), rows_(sink, inRowOrder), out_(out), format_{globals.biff8, &globals.codePage}
    {
    }

    // Reads one top-level record of the sheet, or counts it when its id is
    // unknown; `reader` supplies CONTINUE records. A cell it cannot read is noted lost.
    void read(biff::RecordReader &reader, const biff::Record &record);
    // Notes that the sheet ends before its EOF record.
    void cutShort();
    // Gives the rows not given yet, and marks `out` damaged when cells were lost.
    void finish()
    {
        rows_.finish();
        damage_.report(out_);
    }

private:
    void put(std::uint16_t row, std::uint16_t column, QStringView value);
    void putNumber(std::uint16_t row, std::uint16_t column, double value, std::uint16_t xf);
    // Notes the cell of the cell record `cell` lost, unless it lies past the last column.
    void lose(Bytes cell, const QString &why);
    void loseCell(std::uint16_t row, std::uint16_t column, const QString &why);
    void readLabel(biff::RecordReader &reader, const biff::Record &record);
    void readLabelSst(const biff::Record &record);
    void readMulRk(const biff::Record &record);
    void readBoolErr(const biff::Record &record);
    void readFormula(const biff::Record &record);
    void readFormulaString(biff::RecordReader &reader, const biff::Record &record);

    const WorkbookGlobals &globals_;
    const spreadsheet::CellText &text_;
    RowAssembler rows_;
    spreadsheet::SheetOutcome &out_;
    biff::TextFormat format_;
    Damage damage_;
    bool stringPending_ = false;  // a FORMULA with a text result awaits its STRING record
    std::uint16_t pendingRow_ = 0, pendingColumn_ = 0;
};

void SheetCells::put(std::uint16_t row, std::uint16_t column, QStringView value)
{
    // Any other cell between a FORMULA and its STRING means the STRING is not its.
    stringPending_ = false;
    if (column >= spreadsheet::kMaxColumns)
        return;
    // Copied into the cell's own buffer, which the next row reuses.
    QString &cell = rows_.cell(row, column);
    cell.resize(0);
    cell += value;
}

void SheetCells::putNumber(std::uint16_t row, std::uint16_t column, double value, std::uint16_t xf)
{
    stringPending_ = false;
    // Rendering is the costly part, so columns past the last skip it.
    if (column >= spreadsheet::kMaxColumns)
        return;
    text_.number(value, globals_.formats.formatOf(xf), rows_.cell(row, column));
}

void SheetCells::lose(Bytes cell, const QString &why)
{
    // Every cell record starts with its row and column.
    if (cell.size() >= 4)
        return loseCell(u16At(cell, 0), u16At(cell, 2), why);
    stringPending_ = false;
    damage_.note(why);
}

void SheetCells::loseCell(std::uint16_t row, std::uint16_t column, const QString &why)
{
    stringPending_ = false;
    if (column < spreadsheet::kMaxColumns)
        damage_.note(QStringLiteral("row %1: %2").arg(row + 1).arg(why));
}

void SheetCells::cutShort()
{
    damage_.note(QStringLiteral("the sheet is cut short after row %1; the rows after it may be missing")
                     .arg(rows_.rows()));
}

void SheetCells::read(biff::RecordReader &reader, const biff::Record &record)
{
    const Bytes data = record.data;
    switch (record.id) {
    case biff::Dimensions:
        // Only a hint against regrowing a table: rows still come from the cells.
        rows_.expect(globals_.biff8 ? u32At(data, 4) : u16At(data, 2));
        return;
    case biff::Number:
        if (data.size() < 14)
            return lose(data, QStringLiteral("NUMBER record too short"));
        return putNumber(u16At(data, 0), u16At(data, 2), f64At(data, 6), u16At(data, 4));
    case biff::Rk:
        if (data.size() < 10)
            return lose(data, QStringLiteral("RK record too short"));
        return putNumber(u16At(data, 0), u16At(data, 2), decodeRk(u32At(data, 6)), u16At(data, 4));
    case biff::MulRk:
        return readMulRk(record);
    case biff::LabelSst:
        return readLabelSst(record);
    case biff::Label:
    case biff::RString:
        return readLabel(reader, record);
    case biff::BoolErr:
        return readBoolErr(record);
    case biff::Formula:
    case biff::Formula4:
        return readFormula(record);
    case biff::String:
        return readFormulaString(reader, record);
    default:
        if (!biff::isSkippedSheetRecord(record.id))
            ++out_.unknownRecords[record.id];
        return;
    }
}

void SheetCells::readMulRk(const biff::Record &record)
{
    // row, first column, then (xf, rk) pairs, then the last column.
    const Bytes data = record.data;
    if (data.size() < 6 || (data.size() - 6) % 6 != 0)
        return lose(data, QStringLiteral("MULRK record malformed"));
    const std::uint16_t row = u16At(data, 0);
    const std::uint16_t first = u16At(data, 2);
    const std::size_t count = (data.size() - 6) / 6;
    for (std::size_t i = 0; i < count && first + i < std::size_t(spreadsheet::kMaxColumns); ++i) {
        const std::size_t at = 4 + 6 * i;
        putNumber(row, std::uint16_t(first + i), decodeRk(u32At(data, at + 2)), u16At(data, at));
    }
}

void SheetCells::readLabelSst(const biff::Record &record)
{
    const Bytes data = record.data;
    if (data.size() < 10)
        return lose(data, QStringLiteral("LABELSST record too short"));
    const std::uint32_t index = u32At(data, 6);
    const SharedStrings &strings = globals_.sharedStrings;
    if (index < strings.size())
        return put(u16At(data, 0), u16At(data, 2), strings.at(index));
    if (strings.declared() == 0)
        return lose(data, QStringLiteral("cell text lost: the workbook has no shared string table"));
    lose(data, QStringLiteral("cell text lost: shared string %1 is missing (the table holds %2 of its %3 strings)")
                   .arg(index)
                   .arg(strings.size())
                   .arg(strings.declared()));
}

void SheetCells::readLabel(biff::RecordReader &reader, const biff::Record &record)
{
    // The cursor may move the reader on, so the cell's place is copied first.
    std::array<std::uint8_t, 4> place{};
    const std::size_t placeSize = std::min(record.data.size(), place.size());
    std::copy_n(record.data.begin(), placeSize, place.begin());
    const Bytes cell(place.data(), placeSize);
    const bool longEnough = record.data.size() >= 6;
    biff::FragmentCursor cursor(record.data.subspan(longEnough ? 6 : record.data.size()), reader);
    if (!longEnough)
        return lose(cell, QStringLiteral("LABEL record too short"));
    QString value;
    if (!biff::readString(cursor, 2, format_, value))
        return lose(cell, QStringLiteral("LABEL text cut off"));
    put(u16At(cell, 0), u16At(cell, 2), value);
}

void SheetCells::readBoolErr(const biff::Record &record)
{
    const Bytes data = record.data;
    if (data.size() < 8)
        return lose(data, QStringLiteral("BOOLERR record too short"));
    const std::uint8_t value = data[6];
    put(u16At(data, 0), u16At(data, 2), data[7] ? spreadsheet::CellText::error(value) : spreadsheet::CellText::boolean(value != 0));
}

void SheetCells::readFormula(const biff::Record &record)
{
    const Bytes data = record.data;
    if (data.size() < 20)
        return lose(data, QStringLiteral("FORMULA record too short"));
    const std::uint16_t row = u16At(data, 0), column = u16At(data, 2);
    // A cached result that is not a number marks its last two bytes 0xFFFF
    // and says in its first byte what it is instead.
    if (u16At(data, 12) != 0xFFFF)
        return putNumber(row, column, f64At(data, 6), u16At(data, 4));
    switch (data[6]) {
    case 0:  // text, in the STRING record that follows
        put(row, column, QString());
        stringPending_ = true;  // after put(), which clears it
        pendingRow_ = row;
        pendingColumn_ = column;
        return;
    case 1:
        return put(row, column, spreadsheet::CellText::boolean(data[8] != 0));
    case 2:
        return put(row, column, spreadsheet::CellText::error(data[8]));
    default:  // 3: empty text
        return put(row, column, QString());
    }
}

void SheetCells::readFormulaString(biff::RecordReader &reader, const biff::Record &record)
{
    biff::FragmentCursor cursor(record.data, reader);
    QString value;
    const bool read = biff::readString(cursor, 2, format_, value);
    if (!stringPending_)
        return;
    if (!read)
        return loseCell(pendingRow_, pendingColumn_, QStringLiteral("formula text cut off"));
    put(pendingRow_, pendingColumn_, value);
}

// Calls `visit` with each record of the sheet whose BOF the reader has just
// passed, up to its EOF, those of embedded charts' own BOF...EOF substreams
// aside, until `visit` returns false. False when the sheet ends first.
template <typename Visit>
bool forEachSheetRecord(biff::RecordReader &reader, Visit visit)
{
    biff::Record record;
    int depth = 1;
    while (depth > 0 && reader.next(record)) {
        if (record.id == biff::Bof)
            ++depth;
        else if (record.id == biff::Eof)
            --depth;
        else if (depth == 1 && !visit(record))
            return true;
    }
    return depth == 0;
}

bool isCellRecord(std::uint16_t id)
{
    switch (id) {
    case biff::Number:
    case biff::Rk:
    case biff::MulRk:
    case biff::LabelSst:
    case biff::Label:
    case biff::RString:
    case biff::BoolErr:
    case biff::Formula:
    case biff::Formula4:
        return true;
    default:
        return false;
    }
}

// True when no cell record follows one of a later row, from
// the reader's position to the sheet's end: checked first, by row numbers
// alone, so that only such sheets are held whole.
bool cellsInRowOrder(biff::RecordReader &reader)
{
    bool inOrder = true;
    std::uint16_t lastRow = 0;
    forEachSheetRecord(reader, [&](const biff::Record &record) {
        if (!isCellRecord(record.id) || record.data.size() < 4 || u16At(record.data, 2) >= spreadsheet::kMaxColumns)
            return true;
        inOrder = u16At(record.data, 0) >= lastRow;
        lastRow = u16At(record.data, 0);
        return inOrder;
    });
    return inOrder;
}

}  // namespace

Status readSheetColumns(biff::RecordReader &reader, const WorkbookGlobals &globals, const spreadsheet::CellText &text,
                        spreadsheet::RowSink &sink, spreadsheet::SheetOutcome &out)
{
    out.unknownRecords.clear();
    reader.seek(globals.firstSheetOffset);
    biff::Record record;
    if (!reader.next(record) || record.id != biff::Bof)
        return Status::refusal(ReadError::Damaged,
                            QStringLiteral("damaged sheet: the first sheet does not start with a BOF record"));
    const std::size_t cellsStart = reader.offset();
    const bool inRowOrder = cellsInRowOrder(reader);
    reader.seek(cellsStart);

    SheetCells cells(globals, text, sink, inRowOrder, out);
    if (!forEachSheetRecord(reader, [&](const biff::Record &cell) {
            cells.read(reader, cell);
            return true;
        }))
        cells.cutShort();
    cells.finish();
    return {};
}

}  // namespace spreadsheet::xls
