#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <vector>

#include "import/ListColumns.h"
#include "tests/common/Outcomes.h"
#include "tests/common/StoredRows.h"

using import::ListColumns;
using import::ListField;

namespace {

using Sheet = std::vector<QStringList>;

// The fields a layout found, in field order, as "field=column" texts.
QStringList fieldsOf(const ListColumns &columns)
{
    static const char *const names[] = {"barcode", "name", "price", "group", "unit", "printer", "colour", "tag"};
    QStringList found;
    for (int field = 0; field < import::kListFields; ++field) {
        if (columns.column(ListField(field)) >= 0)
            found << QStringLiteral("%1=%2").arg(QLatin1StringView(names[field])).arg(columns.column(ListField(field)));
    }
    return found;
}

struct DetectCase {
    const char *what;
    Sheet rows;
    int headerRow;  // -1: none
    QStringList fields;
    QStringList ignored;
    QStringList nearHeader;
};

class DetectColumns : public ::testing::TestWithParam<DetectCase> {};

}  // namespace

TEST_P(DetectColumns, finds_the_header_and_what_each_column_holds)
{
    const DetectCase &c = GetParam();
    const ListColumns columns = import::detectColumns(storeOf(c.rows));
    EXPECT_EQ(columns.headerRow() ? int(*columns.headerRow()) : -1, c.headerRow);
    EXPECT_EQ(fieldsOf(columns), c.fields);
    EXPECT_EQ(columns.ignored(), c.ignored);
    EXPECT_EQ(columns.nearHeader(), c.nearHeader);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DetectColumns,
    ::testing::Values(
        DetectCase{"plain_rows_are_A_B_C",
                   {{"8690001", "Çay", "12,50"}, {"8690002", "Simit", "15"}},
                   -1, {"barcode=0", "name=1", "price=2"}, {}, {}},
        DetectCase{"supplier_list_with_a_title_row_and_a_VAT_column",
                   {{"Tedarikçi Fiyat Listesi 2026", "", ""},
                    {"", "", ""},
                    {"Ürün Adı", "Barkod No", "KDV", "Satış Fiyatı (TL)", "Kategori"},
                    {"Çay", "8690001", "%10", "12,50", "İçecekler"}},
                   2, {"barcode=1", "name=0", "price=3", "group=4"}, {"KDV"}, {}},
        DetectCase{"english_header_in_capitals",
                   {{"PRODUCT", "PRICE", "BARCODE", "CATEGORY", "UNIT", "PRINTER", "COLOR", "Alt Menü"}},
                   0, {"barcode=2", "name=0", "price=1", "group=3", "unit=4", "printer=5", "colour=6", "tag=7"}, {}, {}},
        DetectCase{"turkish_case_and_marks_do_not_matter",
                   {{"URUN ADI", "fiyati", "İSTASYON", "buton rengi", "GRUBU"}},
                   0, {"name=0", "price=1", "group=4", "printer=2", "colour=3"}, {}, {}},
        DetectCase{"of_two_columns_alike_the_leftmost_wins",
                   {{"Ürün", "Açıklama", "Fiyat", "Fiyat"}},
                   0, {"name=0", "price=2"}, {"Açıklama", "Fiyat"}, {}},
        DetectCase{"a_price_without_a_name_column_is_no_header",
                   {{"Barkod", "Fiyat", "KDV"}, {"8690001", "12", "10"}},
                   -1, {"barcode=0", "name=1", "price=2"}, {}, {"Barkod", "Fiyat"}},
        DetectCase{"a_row_holding_a_barcode_is_a_product_whatever_it_says",
                   {{"8690001", "Ürün", "Fiyat"}, {"8690002", "Simit", "15"}},
                   -1, {"barcode=0", "name=1", "price=2"}, {}, {}},
        DetectCase{"a_header_below_ten_filled_rows_is_not_looked_for",
                   {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}, {"g"}, {"h"}, {"i"}, {"j"}, {"Ürün", "Fiyat"}},
                   -1, {"barcode=0", "name=1", "price=2"}, {}, {}}),
    [](const ::testing::TestParamInfo<DetectCase> &info) { return std::string(info.param.what); });

TEST(ListRows, rows_above_the_header_and_repeated_headers_are_no_products)
{
    const spreadsheet::RowStore sheet = storeOf({{"Menü"},
                                                 {"Kategori", "Ürün Adı", "Fiyat", "Barkod"},
                                                 {"Barcode", "Product", "Price", "Category"},  // the same header in English
                                                 {"Tatlılar", "Künefe", "120", "1001"},
                                                 {"", "", "", ""},
                                                 {"Kategori", "Ürün Adı", "Fiyat", "Barkod"},  // the next printed page
                                                 {"TATLILAR", "Sütlaç", "80", ""}});
    const ListColumns columns = import::detectColumns(sheet);
    const import::ListRows list = import::listRows(sheet, columns);
    EXPECT_EQ(list.headersLeftOut, 2);
    EXPECT_EQ(list.sheetRows, (std::vector<std::size_t>{4, 5, 7}));
    ASSERT_EQ(list.cells.size(), 3u);
    EXPECT_EQ(list.cells[0], (QStringList{"1001", "Künefe", "120", "Tatlılar"}));
    const import::ProductRow last = import::productRowOf(list.cells[2], columns.ownFields());
    EXPECT_EQ(last.name, QStringLiteral("Sütlaç"));
    EXPECT_EQ(last.group, QStringLiteral("TATLILAR"));
    EXPECT_EQ(import::layoutMessage(columns, list),
              QStringLiteral("Başlık satırı 2. satırda bulundu; okunan sütunlar: barkod: “Barkod”, ürün adı: “Ürün Adı”, "
                             "fiyat: “Fiyat”, grup: “Kategori”.\nBaşlığı tekrarlayan 2 satır atlandı."));
}

TEST(MapColumns, letters_and_header_texts_place_the_fields_given_by_hand)
{
    const spreadsheet::RowStore sheet = storeOf({{"Stok Adı", "Tutar", "Raf", "EAN"}, {"Çay", "12", "R1", "8690001"}});
    const ListColumns byText = valueOf(import::mapColumns(
        {{ListField::Name, "stok adı"}, {ListField::Price, "Tutar"}, {ListField::Group, "C"}}, sheet, false));
    EXPECT_EQ(byText.headerRow(), std::optional<std::size_t>(0));
    EXPECT_EQ(fieldsOf(byText), (QStringList{"barcode=3", "name=0", "price=1", "group=2"}));

    const ListColumns byLetter = valueOf(import::mapColumns({{ListField::Price, "D"}, {ListField::Barcode, "C"}}, sheet, true));
    EXPECT_FALSE(byLetter.headerRow());
    EXPECT_EQ(fieldsOf(byLetter), (QStringList{"barcode=2", "name=1", "price=3"}));

    EXPECT_FALSE(import::mapColumns({{ListField::Name, "Ürün"}}, sheet, false).ok());
    EXPECT_FALSE(import::mapColumns({{ListField::Name, "A"}, {ListField::Price, "A"}}, sheet, false).ok());
}
