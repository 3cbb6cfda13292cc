// The compact rows of a read sheet, shape by shape: the rows a reader sets
// are the rows a consumer reads back, whole or cell by cell.

#include "spreadsheet/RowStore.h"
#include "tests/common/NamedCases.h"
#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using spreadsheet::kMaxCellText;
using spreadsheet::kMaxColumns;
using spreadsheet::RowCells;
using spreadsheet::RowStore;

// Column `column` alone holding `text`.
RowCells only(qsizetype column, const QString &text)
{
    RowCells cells(column + 1);
    cells[column] = text;
    return cells;
}

// Columns A to `width` numbered from 0.
RowCells numbered(qsizetype width)
{
    RowCells cells;
    for (qsizetype column = 0; column < width; ++column)
        cells << QString::number(column);
    return cells;
}

// One more unit than a cell keeps, the cut falling inside a surrogate pair.
const QString kLong = QString(kMaxCellText - 1, u'x') + QString::fromUtf16(u"\U0001F355");

struct ShapeCase {
    const char *name;
    std::vector<std::pair<std::size_t, RowCells>> set;  // rows set in this order, by index
    std::vector<RowCells> read;
};

void PrintTo(const ShapeCase &c, std::ostream *out) { *out << c.name; }

const ShapeCase kShapes[] = {
    {"a_narrow_row_has_the_three_columns", {{0, {"a"}}}, {{"a", "", ""}}},
    {"blank_rows_inside_are_kept_and_none_after_the_last",
     {{0, {"a"}}, {3, {"", "b"}}, {4, {}}, {6, {"", "", ""}}},
     {{"a", "", ""}, {"", "", ""}, {"", "", ""}, {"", "b", ""}}},
    {"blank_cells_after_the_last_text_are_dropped", {{0, {"a", "", "b", "", ""}}}, {{"a", "", "b"}}},
    {"a_wide_row_keeps_A_to_IV", {{0, numbered(kMaxColumns + 2)}}, {numbered(kMaxColumns)}},
    {"a_lone_cell_in_IV_ends_its_row", {{1, only(kMaxColumns - 1, "z")}}, {{"", "", ""}, only(kMaxColumns - 1, "z")}},
    {"a_long_text_is_cut_before_a_split_pair",
     {{0, {kLong, "", kLong}}},
     {{kLong.left(kMaxCellText - 1), "", kLong.left(kMaxCellText - 1)}}},
    {"a_row_set_again_shows_its_new_cells", {{0, {"a", "b"}}, {1, {"c"}}, {0, {"", "d", "e", "f"}}},
     {{"", "d", "e", "f"}, {"c", "", ""}}},
};

class RowShapes : public testing::TestWithParam<ShapeCase> {};

TEST_P(RowShapes, read_back_whole_and_cell_by_cell)
{
    RowStore store;
    for (const auto &[index, cells] : GetParam().set)
        store.setRow(index, cells);
    const std::vector<RowCells> &read = GetParam().read;
    EXPECT_EQ(rowsOf(store), read);
    ASSERT_EQ(store.size(), read.size());
    for (std::size_t row = 0; row < read.size(); ++row) {
        for (qsizetype column = 0; column <= read[row].size(); ++column)
            EXPECT_EQ(store.cell(row, column), column < read[row].size() ? read[row][column] : QString())
                << "row " << row << " column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, RowShapes, testing::ValuesIn(kShapes), ByName());

TEST(RowStore, repeated_rows_and_shared_texts_read_as_rows_set_one_by_one)
{
    RowStore shared;
    const RowStore::Text tea = shared.keep(u"çay");
    const RowStore::Cell cells[] = {{0, tea}, {2, shared.keep(u"5")}};
    shared.setRow(1, cells, 3);
    shared.setRow(5, std::span(cells, 1));

    RowStore copied;
    for (const std::size_t row : {1, 2, 3})
        copied.setRow(row, RowCells{"çay", "", "5"});
    copied.setRow(5, RowCells{"çay"});
    EXPECT_EQ(shared, copied);
    EXPECT_EQ(shared.text(shared.cells(5)[0].text()), u"çay");

    copied.setRow(5, RowCells{"çay", "", "6"});
    EXPECT_NE(shared, copied);
}

}  // namespace
