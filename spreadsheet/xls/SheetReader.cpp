#include "spreadsheet/xls/SheetReader.h"

#include "spreadsheet/xls/BiffRecords.h"
#include "spreadsheet/xls/SkippedRecords.h"

#include <algorithm>
#include <cstring>

namespace xls {
namespace {

constexpr std::uint16_t kColumns = 3;
constexpr std::size_t kMaxRows = 65536;

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
    void report(SheetColumns &out) const
    {
        out.damaged = places_ > 0;
        if (places_ == 1)
            out.message = QStringLiteral("damaged sheet: %1").arg(first_);
        else if (places_ > 1)
            out.message = QStringLiteral("damaged sheet: %1, and %2 more damaged places").arg(first_).arg(places_ - 1);
    }

private:
    QString first_;
    int places_ = 0;
};

// Turns the sheet's cell records into rows of text.
class SheetCells {
public:
    SheetCells(const WorkbookGlobals &globals, const spreadsheet::CellText &text, SheetColumns &out)
        : globals_(globals), text_(text), out_(out), format_{globals.biff8, &globals.codePage}
    {
    }

    // Reads one top-level record of the sheet, or counts it when its id is
    // unknown; `reader` supplies CONTINUE records. A cell it cannot read is noted lost.
    void read(biff::RecordReader &reader, const biff::Record &record);
    // Notes that the sheet ends before its EOF record.
    void cutShort();
    // Marks `out` damaged when cells were lost.
    void finish() const { damage_.report(out_); }

private:
    void reserveRows(Bytes dimensions);
    void put(std::uint16_t row, std::uint16_t column, QString value);
    void putNumber(std::uint16_t row, std::uint16_t column, double value, std::uint16_t xf);
    // Notes the cell of the cell record `cell` lost, unless it lies past column C.
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
    SheetColumns &out_;
    biff::TextFormat format_;
    Damage damage_;
    bool stringPending_ = false;  // a FORMULA with a text result awaits its STRING record
    std::uint16_t pendingRow_ = 0, pendingColumn_ = 0;
};

void SheetCells::put(std::uint16_t row, std::uint16_t column, QString value)
{
    // Any other cell between a FORMULA and its STRING means the STRING is not its.
    stringPending_ = false;
    if (column >= kColumns)
        return;
    // Row numbers are 16-bit, so the table never passes 65,536 rows.
    if (out_.rows.size() <= row)
        out_.rows.resize(std::size_t(row) + 1);
    out_.rows[row][column] = std::move(value);
}

void SheetCells::reserveRows(Bytes dimensions)
{
    // Only a hint against regrowing the table: rows still come from the cells.
    const std::size_t claimed = globals_.biff8 ? u32At(dimensions, 4) : u16At(dimensions, 2);
    out_.rows.reserve(std::min<std::size_t>(claimed, kMaxRows));
}

void SheetCells::putNumber(std::uint16_t row, std::uint16_t column, double value, std::uint16_t xf)
{
    // Rendering is the costly part, so columns past C skip it.
    put(row, column, column < kColumns ? text_.number(value, globals_.formats.kindOf(xf)) : QString());
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
    if (column < kColumns)
        damage_.note(QStringLiteral("row %1: %2").arg(row + 1).arg(why));
}

void SheetCells::cutShort()
{
    damage_.note(QStringLiteral("the sheet is cut short after row %1; the rows after it may be missing")
                     .arg(out_.rows.size()));
}

void SheetCells::read(biff::RecordReader &reader, const biff::Record &record)
{
    const Bytes data = record.data;
    switch (record.id) {
    case biff::Dimensions:
        reserveRows(data);
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
    for (std::size_t i = 0; i < count && first + i < kColumns; ++i) {
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
    if (index < globals_.sharedStrings.size())
        return put(u16At(data, 0), u16At(data, 2), globals_.sharedStrings[index]);
    if (globals_.sharedStringCount == 0)
        return lose(data, QStringLiteral("cell text lost: the workbook has no shared string table"));
    lose(data, QStringLiteral("cell text lost: shared string %1 is missing (the table holds %2 of its %3 strings)")
                   .arg(index)
                   .arg(globals_.sharedStrings.size())
                   .arg(globals_.sharedStringCount));
}

void SheetCells::readLabel(biff::RecordReader &reader, const biff::Record &record)
{
    std::vector<Bytes> fragments = biff::withContinues(reader, record);
    if (record.data.size() < 6)
        return lose(record.data, QStringLiteral("LABEL record too short"));
    fragments.front() = record.data.subspan(6);
    biff::FragmentCursor cursor(std::move(fragments));
    QString value;
    if (!biff::readString(cursor, 2, format_, value))
        return lose(record.data, QStringLiteral("LABEL text cut off"));
    put(u16At(record.data, 0), u16At(record.data, 2), std::move(value));
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
    biff::FragmentCursor cursor(biff::withContinues(reader, record));
    QString value;
    const bool read = biff::readString(cursor, 2, format_, value);
    if (!stringPending_)
        return;
    if (!read)
        return loseCell(pendingRow_, pendingColumn_, QStringLiteral("formula text cut off"));
    put(pendingRow_, pendingColumn_, std::move(value));
}

}  // namespace

Status readSheetColumns(Bytes stream, const WorkbookGlobals &globals, const spreadsheet::CellText &text,
                        SheetColumns &out)
{
    out.rows.clear();
    out.unknownRecords.clear();
    biff::RecordReader reader(stream, globals.firstSheetOffset);
    biff::Record record;
    if (globals.firstSheetOffset >= stream.size() || !reader.next(record) || record.id != biff::Bof)
        return Status::fail(ReadError::Damaged,
                            QStringLiteral("damaged sheet: the first sheet does not start with a BOF record"));

    SheetCells cells(globals, text, out);
    // Charts embedded in the sheet bring their own BOF...EOF substreams.
    int depth = 1;
    while (depth > 0 && reader.next(record)) {
        if (record.id == biff::Bof)
            ++depth;
        else if (record.id == biff::Eof)
            --depth;
        else if (depth == 1)
            cells.read(reader, record);
    }
    if (depth > 0)
        cells.cutShort();
    cells.finish();
    return {};
}

}  // namespace xls
