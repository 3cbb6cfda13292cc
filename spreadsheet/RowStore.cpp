#include "spreadsheet/RowStore.h"

#include <algorithm>

namespace spreadsheet {
namespace {

// Texts at least this long are compared with the last such text before
// they are kept: long enough that the comparison costs little beside the
// copy it may save.
constexpr qsizetype kLongText = 4096;

}  // namespace

RowCells RowStore::row(std::size_t index) const
{
    const std::span<const Cell> kept = cells(index);
    if (kept.empty())
        return blankRow();
    RowCells out(std::max<qsizetype>(kept.back().column() + 1, kMinColumns));
    for (const Cell &cell : kept)
        out[cell.column()] = text(cell.text()).toString();
    return out;
}

QStringView RowStore::cell(std::size_t index, qsizetype column) const
{
    const std::span<const Cell> kept = cells(index);
    const auto found =
        std::lower_bound(kept.begin(), kept.end(), column, [](const Cell &cell, qsizetype wanted) { return cell.column() < wanted; });
    return found != kept.end() && found->column() == column ? text(found->text()) : QStringView();
}

std::span<const RowStore::Cell> RowStore::cells(std::size_t index) const
{
    const Row &row = rows_.at(qsizetype(index));
    return {cells_.constData() + row.first, std::size_t(row.count)};
}

bool operator==(const RowStore &a, const RowStore &b)
{
    if (a.size() != b.size())
        return false;
    const auto same = [&](const RowStore::Cell &x, const RowStore::Cell &y) {
        return x.column() == y.column() && a.text(x.text()) == b.text(y.text());
    };
    for (std::size_t index = 0; index < a.size(); ++index) {
        if (!std::ranges::equal(a.cells(index), b.cells(index), same))
            return false;
    }
    return true;
}

RowStore::Text RowStore::keep(QStringView text)
{
    text = text.first(clippedLength(text));
    const bool isLong = text.size() >= kLongText;
    if (isLong && lastLong_.size() == text.size() && this->text(lastLong_) == text)
        return lastLong_;
    const Text kept(std::uint64_t(pool_.size()), std::uint64_t(text.size()));
    pool_.append(text);
    if (isLong)
        lastLong_ = kept;
    return kept;
}

void RowStore::setRow(std::size_t index, const RowCells &cells, std::size_t count)
{
    const qsizetype first = cells_.size();
    const qsizetype width = std::min<qsizetype>(cells.size(), kMaxColumns);
    for (qsizetype column = 0; column < width; ++column) {
        const QString &text = cells.at(column);
        if (text.isEmpty())
            continue;
        // A cell repeated across columns shares its data with the one
        // before it: it shows the same kept text.
        const bool repeated = cells_.size() > first && text.isSharedWith(cells.at(cells_.last().column()));
        cells_.append(Cell(column, repeated ? cells_.last().text() : keep(text)));
    }
    placeCells(index, first, count);
}

void RowStore::setRow(std::size_t index, std::span<const Cell> cells, std::size_t count)
{
    const qsizetype first = cells_.size();
    for (const Cell &cell : cells)
        cells_.append(cell);
    placeCells(index, first, count);
}

void RowStore::placeCells(std::size_t index, qsizetype first, std::size_t count)
{
    const Row row{std::uint64_t(first), std::uint64_t(cells_.size() - first)};
    // Blank rows past the last row with cells are not kept.
    const std::size_t end = row.count == 0 ? std::min(index + count, size()) : index + count;
    if (end > size())
        rows_.resize(qsizetype(end));
    for (std::size_t at = index; at < end; ++at)
        rows_[qsizetype(at)] = row;
    while (!rows_.isEmpty() && rows_.constLast().count == 0)
        rows_.removeLast();
}

}  // namespace spreadsheet
