// How the batch front end reads a list wider than A/B/C: by its header, by
// the command line's --columns, or as A/B/C with --no-header. The program's
// own tests read lists from files.
#include <gtest/gtest.h>

#include "batch/ProductList.h"

namespace {

using Sheet = std::vector<QStringList>;

// A menu list with a title row above its header, columns in its own order.
const Sheet kMenu{{"Menü 2026"},
                  {"Kategori", "Ürün Adı", "Barkod", "KDV", "Fiyat (TL)", "Birim"},
                  {"Tatlılar", "Künefe", "1001", "10", "120", "Adet"},
                  {"", "Çay", "1002", "10", "15", ""}};

struct ListCase {
    const char *what;
    Sheet sheet;
    QStringList arguments;
    std::vector<std::size_t> sheetRows;
    QStringList first;  // the first row's barcode, name, price, group and unit
};

class ReadProductList : public ::testing::TestWithParam<ListCase> {};

}  // namespace

TEST_P(ReadProductList, places_every_field_and_keeps_each_rows_sheet_row)
{
    const ListCase &c = GetParam();
    const batch::ParsedArguments parsed =
        batch::parseArguments(QStringList{QStringLiteral("toplu-ekle"), QStringLiteral("a.csv")} + c.arguments);
    ASSERT_TRUE(parsed.ok()) << parsed.usageError.toStdString();
    QString error;
    const std::optional<batch::ProductList> list = batch::readProductList(c.sheet, parsed.options, error);
    ASSERT_TRUE(list) << error.toStdString();
    EXPECT_EQ(list->sheetRows, c.sheetRows);
    ASSERT_FALSE(list->rows.isEmpty());
    const bulksave::ProductRow &row = list->rows.first();
    EXPECT_EQ((QStringList{row.barcode, row.name, row.price, row.group, row.unit}), c.first);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ReadProductList,
    ::testing::Values(
        ListCase{"a_header_below_a_title_row", kMenu, {}, {3, 4}, {"1001", "Künefe", "120", "Tatlılar", "Adet"}},
        ListCase{"a_column_given_by_letter_is_that_fields_alone", kMenu, {"--columns=birim=A"}, {3, 4},
                 {"1001", "Künefe", "120", "", "Tatlılar"}},
        ListCase{"no_header_reads_a_header_as_a_product", kMenu, {"--no-header"}, {1, 2, 3, 4},
                 {"Menü 2026", "", "", "", ""}}),
    [](const auto &info) { return std::string(info.param.what); });
