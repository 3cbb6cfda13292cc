// A row's own group, unit, printer, colour and sub-menu tag cells, and a
// whole menu with categories saved and undone on the demo stand-in.
#include <QTemporaryDir>

#include "tests/common/Outcomes.h"
#include "SaveFixture.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "import/RowOptions.h"

using import::ProductRow;
using import::RowStatus;

namespace {

struct CellCase {
    const char *what;
    ProductRow row;
    QString group;  // the stored group, or the unknown-cell text when unknown
    const char *multiplier;
    const char *colour;
    const char *printer;  // "" for no mapping
    bool known = true;
};

class OwnCells : public ::testing::TestWithParam<CellCase> {};

import::RowOptions options()
{
    import::SaveChoices window;
    window.group = QStringLiteral("İçecekler");
    window.buttonColor = QStringLiteral("#FF0000FF");
    window.printerPosition = 1;
    window.printerId = QStringLiteral("5");
    import::RowOptions options(window, {{{"3", "Tatlılar"}, {"4", "Tatlılar"}, {"8", "İçecekler"}},
                                          {{"5", "Mutfak"}, {"7", "Soğuk Bar"}}});
    options.learnGroups({ProductRow{"", "", "", "Soğuk İçecekler"}, ProductRow{"", "", "", "SOĞUK İÇECEKLER"}});
    return options;
}

}  // namespace

TEST_P(OwnCells, are_read_as_the_operator_means_them_and_unknown_ones_are_never_guessed)
{
    const CellCase &c = GetParam();
    QString unknown;
    const std::optional<import::RowValues> values = options().valuesOf(c.row, unknown);
    ASSERT_EQ(values.has_value(), c.known) << unknown.toStdString();
    if (!values) {
        EXPECT_EQ(unknown, c.group);
        return;
    }
    EXPECT_EQ(values->group, c.group);
    EXPECT_EQ(values->multiplier, QString::fromUtf8(c.multiplier));
    EXPECT_EQ(values->buttonColor, QString::fromUtf8(c.colour));
    EXPECT_EQ(values->printerId.value_or(QString()), QString::fromUtf8(c.printer));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, OwnCells,
    ::testing::Values(
        CellCase{"blank_cells_take_the_window_s_choices", ProductRow{}, "İçecekler", "1", "#FF0000FF", "5"},
        CellCase{"a_group_in_capitals_is_the_first_stored_category", ProductRow{"", "", "", " TATLILAR "}, "Tatlılar",
                 "1", "#FF0000FF", "5"},
        CellCase{"a_new_group_keeps_its_first_row_s_spelling", ProductRow{"", "", "", "soğuk içecekler"},
                 "Soğuk İçecekler", "1", "#FF0000FF", "5"},
        CellCase{"a_group_past_50_characters_is_cut", ProductRow{"", "", "", QString(60, u'ğ')}, QString(50, u'ğ'), "1",
                 "#FF0000FF", "5"},
        CellCase{"units_by_any_of_their_names", ProductRow{"", "", "", "", "KİLOGRAM"}, "İçecekler", "1000",
                 "#FF0000FF", "5"},
        CellCase{"colours_without_turkish_letters_and_printers_by_name", ProductRow{"", "", "", "", "ad", "soğuk bar", "YESIL"},
                 "İçecekler", "1", "#FF008000", "7"},
        CellCase{"yok_maps_no_printer_and_a_colour_text_is_taken_as_is",
                 ProductRow{"", "", "", "", "", "YOK", "#ffa589c7"}, "İçecekler", "1", "#FFA589C7", ""},
        CellCase{"an_unknown_unit", ProductRow{"", "", "", "", "Paket"}, "birim “Paket” tanınmadı (Adet ya da Kg olmalı)",
                 "", "", "", false},
        CellCase{"an_unknown_printer", ProductRow{"", "", "", "", "", "Teras"}, "yazıcı “Teras” veritabanında yok", "",
                 "", "", false},
        CellCase{"an_unknown_colour", ProductRow{"", "", "", "", "", "", "Turuncu"}, "renk “Turuncu” tanınmadı", "", "", "",
                 false}),
    [](const ::testing::TestParamInfo<CellCase> &info) { return std::string(info.param.what); });

TEST_F(SaveTest, a_menu_with_its_own_groups_lands_each_row_in_its_category_and_undoes_whole)
{
    import::SaveChoices c = everything();
    c.group = QStringLiteral("Kahveler");
    QList<ProductRow> rows{
        ProductRow{"1", "Künefe", "120", "TATLILAR", "", "Mutfak Yazıcısı"},
        ProductRow{"2", "Ayran", "25", "Soğuk İçecekler", "Adet", "", "SARI", "Yayık"},
        ProductRow{"3", "Limonata", "40", "soğuk içecekler", "kg", "yok"},
        ProductRow{"4", "Türk Kahvesi", "45"},
        ProductRow{"5", "Şalgam", "30", "Soğuk İçecekler", "Paket"},
    };
    // A thousand groups cost one category each, not one look-up per row.
    for (int group = 0; group < 1000; ++group)
        rows << ProductRow{"", QStringLiteral("Ürün %1").arg(group), "10", QStringLiteral("Grup %1").arg(group)};
    QTemporaryDir journals;
    const std::unique_ptr<import::ImportJournal> journal = valueOf(import::ImportJournal::create(
        journals.path(), {QStringLiteral("pos.db"), QStringLiteral("menu.csv"), QDateTime::currentDateTimeUtc()}));
    ASSERT_TRUE(journal);
    import::BulkImport import(pos.connection.database(), pos.connection.dialect());
    const import::SaveResult result = import.run(rows, c, {}, {}, journal.get());

    EXPECT_EQ(result.count(RowStatus::Landed), 1004);
    EXPECT_EQ(result.rows.at(4).status, RowStatus::Skipped);
    EXPECT_EQ(result.rows.at(4).error, QStringLiteral("birim “Paket” tanınmadı (Adet ya da Kg olmalı)"));
    EXPECT_EQ(table("SELECT i.Name, i.GroupCode, c.Name, o.Multiplier, s.ButtonColor, s.SubMenuTag, "
                    "COALESCE(m.PrinterId, '-'), COALESCE(m.MenuItemGroupCode, '-') FROM MenuItems i "
                    "JOIN MenuItemPortions o ON o.MenuItemId = i.id JOIN ScreenMenuItems s ON s.MenuItemId = i.id "
                    "JOIN ScreenMenuCategories c ON c.id = s.ScreenMenuCategoryId "
                    "LEFT JOIN PrinterMaps m ON m.MenuItemId = i.id WHERE i.Barcode <> '' ORDER BY i.Barcode"),
              (QStringList{"Künefe|Tatlılar|Tatlılar|1|#FF0000FF||1|Tatlılar",
                           "Ayran|Soğuk İçecekler|Soğuk İçecekler|1|#FFFFFF00|Yayık|2|Soğuk İçecekler",
                           "Limonata|Soğuk İçecekler|Soğuk İçecekler|1000|#FF0000FF||-|-",
                           "Türk Kahvesi|Kahveler|Kahveler|1|#FF0000FF||2|Kahveler"}));
    EXPECT_EQ(pos.count("ScreenMenuCategories"), 2 + 2 + 1000);

    const import::UndoResult undone =
        import::undoImport(pos.connection.database(), pos.connection.dialect(), journal->path());
    EXPECT_TRUE(undone.undone) << undone.message.toStdString();
    EXPECT_EQ(pos.count("ScreenMenuCategories"), 2);
    EXPECT_EQ(pos.count("MenuItems"), 0);
}
