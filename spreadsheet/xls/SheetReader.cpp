#include "spreadsheet/xls/SheetReader.h"

#include "spreadsheet/xls/BiffRecords.h"
#include "spreadsheet/xls/SkippedRecords.h"

#include <algorithm>
#include <cstring>

namespace xls {
namespace {

constexpr std::uint16_t kColumns = 3;
constexpr std::size_t kMaxRows = 65536;

Status corrupt(const QString &why)
{
    return Status::fail(ReadError::Damaged, QStringLiteral("damaged sheet: %1").arg(why));
}

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

// Turns the sheet's cell records into rows of text.
class SheetCells {
public:
    SheetCells(const WorkbookGlobals &globals, const spreadsheet::CellText &text, SheetRows &rows, RecordCounts &unknown)
        : globals_(globals), text_(text), rows_(rows), unknown_(unknown), format_{globals.biff8, &globals.codePage}
    {
    }

    // Reads one top-level record of the sheet, or counts it when its id is
    // unknown; `reader` supplies CONTINUE records.
    Status read(biff::RecordReader &reader, const biff::Record &record);

private:
    void reserveRows(Bytes dimensions);
    void put(std::uint16_t row, std::uint16_t column, QString value);
    void putNumber(std::uint16_t row, std::uint16_t column, double value, std::uint16_t xf);
    Status readLabel(biff::RecordReader &reader, const biff::Record &record);
    Status readLabelSst(const biff::Record &record);
    Status readMulRk(const biff::Record &record);
    Status readBoolErr(const biff::Record &record);
    Status readFormula(const biff::Record &record);
    Status readFormulaString(biff::RecordReader &reader, const biff::Record &record);

    const WorkbookGlobals &globals_;
    const spreadsheet::CellText &text_;
    SheetRows &rows_;
    RecordCounts &unknown_;
    biff::TextFormat format_;
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
    if (rows_.size() <= row)
        rows_.resize(std::size_t(row) + 1);
    rows_[row][column] = std::move(value);
}

void SheetCells::reserveRows(Bytes dimensions)
{
    // Only a hint against regrowing the table: rows still come from the cells.
    const std::size_t claimed = globals_.biff8 ? u32At(dimensions, 4) : u16At(dimensions, 2);
    rows_.reserve(std::min<std::size_t>(claimed, kMaxRows));
}

void SheetCells::putNumber(std::uint16_t row, std::uint16_t column, double value, std::uint16_t xf)
{
    // Rendering is the costly part, so columns past C skip it.
    put(row, column, column < kColumns ? text_.number(value, globals_.formats.kindOf(xf)) : QString());
}

Status SheetCells::read(biff::RecordReader &reader, const biff::Record &record)
{
    const Bytes data = record.data;
    switch (record.id) {
    case biff::Dimensions:
        reserveRows(data);
        return {};
    case biff::Number:
        if (data.size() < 14)
            return corrupt(QStringLiteral("NUMBER record too short"));
        putNumber(u16At(data, 0), u16At(data, 2), f64At(data, 6), u16At(data, 4));
        return {};
    case biff::Rk:
        if (data.size() < 10)
            return corrupt(QStringLiteral("RK record too short"));
        putNumber(u16At(data, 0), u16At(data, 2), decodeRk(u32At(data, 6)), u16At(data, 4));
        return {};
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
            ++unknown_[record.id];
        return {};
    }
}

Status SheetCells::readMulRk(const biff::Record &record)
{
    // row, first column, then (xf, rk) pairs, then the last column.
    const Bytes data = record.data;
    if (data.size() < 6 || (data.size() - 6) % 6 != 0)
        return corrupt(QStringLiteral("MULRK record malformed"));
    const std::uint16_t row = u16At(data, 0);
    const std::uint16_t first = u16At(data, 2);
    const std::size_t count = (data.size() - 6) / 6;
    for (std::size_t i = 0; i < count && first + i < kColumns; ++i) {
        const std::size_t at = 4 + 6 * i;
        putNumber(row, std::uint16_t(first + i), decodeRk(u32At(data, at + 2)), u16At(data, at));
    }
    return {};
}

Status SheetCells::readLabelSst(const biff::Record &record)
{
    if (record.data.size() < 10)
        return corrupt(QStringLiteral("LABELSST record too short"));
    const std::uint32_t index = u32At(record.data, 6);
    if (index >= globals_.sharedStrings.size())
        return corrupt(QStringLiteral("shared string %1 does not exist").arg(index));
    put(u16At(record.data, 0), u16At(record.data, 2), globals_.sharedStrings[index]);
    return {};
}

Status SheetCells::readLabel(biff::RecordReader &reader, const biff::Record &record)
{
    std::vector<Bytes> fragments = biff::withContinues(reader, record);
    if (record.data.size() < 6)
        return corrupt(QStringLiteral("LABEL record too short"));
    fragments.front() = record.data.subspan(6);
    biff::FragmentCursor cursor(std::move(fragments));
    QString value;
    if (!biff::readString(cursor, 2, format_, value))
        return corrupt(QStringLiteral("LABEL text cut off"));
    put(u16At(record.data, 0), u16At(record.data, 2), std::move(value));
    return {};
}

Status SheetCells::readBoolErr(const biff::Record &record)
{
    const Bytes data = record.data;
    if (data.size() < 8)
        return corrupt(QStringLiteral("BOOLERR record too short"));
    const std::uint8_t value = data[6];
    put(u16At(data, 0), u16At(data, 2), data[7] ? spreadsheet::CellText::error(value) : spreadsheet::CellText::boolean(value != 0));
    return {};
}

Status SheetCells::readFormula(const biff::Record &record)
{
    const Bytes data = record.data;
    if (data.size() < 20)
        return corrupt(QStringLiteral("FORMULA record too short"));
    const std::uint16_t row = u16At(data, 0), column = u16At(data, 2);
    // A cached result that is not a number marks its last two bytes 0xFFFF
    // and says in its first byte what it is instead.
    if (u16At(data, 12) != 0xFFFF) {
        putNumber(row, column, f64At(data, 6), u16At(data, 4));
        return {};
    }
    switch (data[6]) {
    case 0:  // text, in the STRING record that follows
        put(row, column, QString());
        stringPending_ = true;  // after put(), which clears it
        pendingRow_ = row;
        pendingColumn_ = column;
        return {};
    case 1:
        put(row, column, spreadsheet::CellText::boolean(data[8] != 0));
        return {};
    case 2:
        put(row, column, spreadsheet::CellText::error(data[8]));
        return {};
    default:  // 3: empty text
        put(row, column, QString());
        return {};
    }
}

Status SheetCells::readFormulaString(biff::RecordReader &reader, const biff::Record &record)
{
    biff::FragmentCursor cursor(biff::withContinues(reader, record));
    QString value;
    if (!biff::readString(cursor, 2, format_, value))
        return corrupt(QStringLiteral("STRING record cut off"));
    if (stringPending_)
        put(pendingRow_, pendingColumn_, std::move(value));
    return {};
}

}  // namespace

Status readSheetColumns(Bytes stream, const WorkbookGlobals &globals, const spreadsheet::CellText &text, SheetRows &rows,
                        RecordCounts &unknown)
{
    rows.clear();
    unknown.clear();
    biff::RecordReader reader(stream, globals.firstSheetOffset);
    biff::Record record;
    if (globals.firstSheetOffset >= stream.size() || !reader.next(record) || record.id != biff::Bof)
        return corrupt(QStringLiteral("the first sheet does not start with a BOF record"));

    SheetCells cells(globals, text, rows, unknown);
    // Charts embedded in the sheet bring their own BOF...EOF substreams.
    int depth = 1;
    while (reader.next(record)) {
        if (record.id == biff::Bof) {
            ++depth;
        } else if (record.id == biff::Eof) {
            if (--depth == 0)
                return {};
        } else if (depth == 1) {
            if (Status s = cells.read(reader, record); !s.ok())
                return s;
        }
    }
    return corrupt(QStringLiteral("the sheet ends without an EOF record"));
}

}  // namespace xls
