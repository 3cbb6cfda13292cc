#include "spreadsheet/orcus/ColumnCells.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/orcus/NumberFormatStyles.h"
#include "spreadsheet/orcus/SharedStrings.h"

#include <cmath>
#include <limits>

namespace spreadsheet::orcusimport {

ColumnCells::Cell *ColumnCells::cell(int row, int column)
{
    if (column < 0 || column >= kColumns || row < 0 || row >= kMaxRows)
        return nullptr;
    if (rows_.size() <= std::size_t(row))
        rows_.resize(std::size_t(row) + 1);
    return &rows_[std::size_t(row)][std::size_t(column)];
}

void ColumnCells::put(int row, int column, Kind kind, double number, std::uint32_t ref)
{
    if (column < 0 || column >= kColumns)
        return;
    if (row >= kMaxRows)
        throw RowLimitReached{};
    Cell *target = cell(row, column);
    if (!target)
        return;
    target->kind = kind;
    target->number = number;
    target->ref = ref;
    lastRow_ = std::max(lastRow_, std::size_t(row) + 1);
}

void ColumnCells::setNumber(int row, int column, double value)
{
    put(row, column, Kind::Number, value);
}

void ColumnCells::setCalendar(int row, int column, double serial)
{
    put(row, column, Kind::Calendar, serial);
}

void ColumnCells::setSharedString(int row, int column, std::size_t id)
{
    // An id past 32 bits cannot be a real entry; it stays one that does not exist.
    put(row, column, Kind::SharedString, 0,
        std::uint32_t(std::min<std::size_t>(id, std::numeric_limits<std::uint32_t>::max())));
}

void ColumnCells::setText(int row, int column, std::string_view utf8)
{
    if (column < 0 || column >= kColumns)
        return;
    put(row, column, Kind::Text, 0, std::uint32_t(texts_.size()));
    texts_.emplace_back(utf8);
}

void ColumnCells::setBoolean(int row, int column, bool value)
{
    put(row, column, Kind::Boolean, value ? 1 : 0);
}

void ColumnCells::setUnreadable(int row, int column)
{
    put(row, column, Kind::Unreadable, 0);
}

void ColumnCells::setFormat(int row, int column, std::size_t xf)
{
    if (Cell *target = cell(row, column))
        target->xf = std::uint32_t(std::min<std::size_t>(xf, std::numeric_limits<std::uint32_t>::max()));
}

void ColumnCells::fillDown(int row, int column, int count)
{
    if (column < 0 || column >= kColumns || row < 0 || count <= 0)
        return;
    if (std::int64_t(row) + count >= kMaxRows)
        throw RowLimitReached{};
    const Cell *source = cell(row, column);
    if (!source || source->kind == Kind::Blank)
        return;
    const Cell copy = *source;  // the rows below may move the table
    for (int below = row + 1; below <= row + count; ++below)
        *cell(below, column) = copy;
    lastRow_ = std::max(lastRow_, std::size_t(row) + std::size_t(count) + 1);
}

QString ColumnCells::textOf(const Cell &cell, const CellText &text, const NumberFormatStyles &styles,
                            const SharedStrings &strings, int &missing) const
{
    switch (cell.kind) {
    case Kind::Number:
        return text.number(cell.number, styles.kindOf(cell.xf));
    case Kind::Calendar: {
        NumberKind kind = styles.kindOf(cell.xf);
        // Without a calendar format of its own, the value tells what it is.
        if (kind == NumberKind::Plain)
            kind = cell.number == std::floor(cell.number) ? NumberKind::Date : NumberKind::DateTime;
        return text.number(cell.number, kind);
    }
    case Kind::SharedString:
        if (const auto utf8 = strings.text(cell.ref); utf8 && strings.inTable(cell.ref))
            return QString::fromUtf8(utf8->data(), qsizetype(utf8->size()));
        ++missing;
        return {};
    case Kind::Text:
        return QString::fromUtf8(texts_[cell.ref].data(), qsizetype(texts_[cell.ref].size()));
    case Kind::Boolean:
        return CellText::boolean(cell.number != 0);
    case Kind::Unreadable:
        ++missing;
        return {};
    case Kind::Blank:
        break;
    }
    return {};
}

void ColumnCells::render(const CellText &text, const NumberFormatStyles &styles, const SharedStrings &strings,
                         SheetColumns &sheet) const
{
    int missing = 0;
    sheet.rows.assign(lastRow_, {});
    for (std::size_t row = 0; row < lastRow_; ++row) {
        for (std::size_t column = 0; column < kColumns; ++column)
            sheet.rows[row][column] = textOf(rows_[row][column], text, styles, strings, missing);
    }
    if (missing > 0) {
        sheet.damaged = true;
        sheet.message = QStringLiteral("%1 cell(s) in columns A-C came without a value that could be read").arg(missing);
    }
}

}  // namespace spreadsheet::orcusimport
