#include "SaveFixture.h"
#include "import/BarcodeLookup.h"
#include "tests/common/NamedCases.h"

using import::ProductRow;
using import::RowStatus;
using import::SaveChoices;
using import::SaveResult;
using import::SkipReason;

TEST_F(SaveTest, one_row_writes_every_record_with_its_values_in_order)
{
    SaveChoices c = everything();
    c.subMenuTag = QStringLiteral("  Sıcak  ");
    c.buttonColor = QStringLiteral("#FFFFFF00");
    const SaveResult result = save({ProductRow{QStringLiteral(" 8690 "), QStringLiteral("  Türk Kahvesi "),
                                               QStringLiteral("45,5")}},
                                   c);

    ASSERT_EQ(result.count(RowStatus::Landed), 1);
    const qint64 item = *result.lastItemId();
    const QString id = QString::number(item);
    EXPECT_EQ(row("SELECT id, GroupCode, Barcode, ItemType, Name FROM MenuItems"),
              id + "|Kahveler|8690|0|Türk Kahvesi");
    const QString portion = pos.value("SELECT id FROM MenuItemPortions").toString();
    EXPECT_EQ(row("SELECT Name, Multiplier, MenuItemId FROM MenuItemPortions"), "Normal|1|" + id);
    EXPECT_EQ(row("SELECT MenuItemPortionId, Price, PriceTag FROM MenuItemPrices"), portion + "|45.5|NULL");
    EXPECT_EQ(row("SELECT Name, Appearance, SortOrder, ScreenMenuId, MostUsedItemsCategory, ColumnCount, "
                  "MenuItemButtonHeight, MenuItemButtonColor, MenuItemFontSize, WrapText, PageCount, "
                  "SortAlphabetically, MainButtonHeight, MainButtonColor, MainFontSize, SubButtonHeight, "
                  "SubButtonRows, SubButtonColorDef, NumeratorType, NumberPadPercent, MaxItems "
                  "FROM ScreenMenuCategories WHERE id > 2"),
              "Kahveler|0|0|1|0|0|0|#FF548DD4|24|1|1|0|0|#FF6495ED|26|75|1||2|45|0");
    const QString category = pos.value("SELECT id FROM ScreenMenuCategories WHERE Name = 'Kahveler'").toString();
    EXPECT_EQ(row("SELECT Name, Appearance, ScreenMenuCategoryId, MenuItemId, SortOrder, AutoSelect, ButtonColor, "
                  "Quantity, FontSize, SubMenuTag FROM ScreenMenuItems"),
              "Türk Kahvesi|0|" + category + "|" + id + "|0|0|#FFFFFF00|1|1|Sıcak");
    EXPECT_EQ(row("SELECT PrintJobId, MenuItemGroupCode, MenuItemId, PrinterId, PrinterTemplateId, DepartmentId, "
                  "TicketTypeId FROM PrinterMaps"),
              "2|Kahveler|" + id + "|2|2|0|0");
    EXPECT_EQ(progress, QList<int>{1});
}

TEST_F(SaveTest, no_button_without_show_on_sales_screen_and_no_mapping_without_a_printer)
{
    SaveChoices noButton = everything();
    noButton.showOnSalesScreen = false;
    save({product("Çay"), product("Ayran")}, noButton);
    EXPECT_EQ(pos.count("ScreenMenuCategories"), 2);
    EXPECT_EQ(pos.count("ScreenMenuItems"), 0);
    EXPECT_EQ(pos.count("PrinterMaps"), 2);

    SaveChoices noPrinter = everything();
    noPrinter.printerPosition = 0;
    noPrinter.printerId = QStringLiteral("0");
    save({product("Simit")}, noPrinter);
    EXPECT_EQ(pos.count("MenuItems"), 3);
    EXPECT_EQ(pos.count("ScreenMenuItems"), 1);
    EXPECT_EQ(pos.count("PrinterMaps"), 2);
}

struct NoPrinter {
    const char *name;
    int position;
    const char *id;
};

void PrintTo(const NoPrinter &c, std::ostream *os)
{
    *os << c.name;
}

class NoPrinterChosen : public SaveTest, public ::testing::WithParamInterface<NoPrinter> {};

TEST_P(NoPrinterChosen, writes_the_item_without_a_printer_mapping)
{
    SaveChoices c = everything();
    c.printerPosition = GetParam().position;
    c.printerId = QString::fromLatin1(GetParam().id);
    const SaveResult result = save({product("Çay")}, c);
    EXPECT_EQ(result.count(RowStatus::Landed), 1);
    EXPECT_EQ(pos.count("PrinterMaps"), 0);
}

INSTANTIATE_TEST_SUITE_P(Choices, NoPrinterChosen,
                         ::testing::Values(NoPrinter{"the_leading_entry", 0, "0"},
                                           NoPrinter{"an_empty_printer_list", -1, ""},
                                           NoPrinter{"an_empty_id", 2, "  "}),
                         ByName());

class UnitMultiplier : public SaveTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(UnitMultiplier, unit_position_gives_the_multiplier)
{
    SaveChoices c = choices();
    c.unitPosition = GetParam().first;
    save({product("Peynir")}, c);
    EXPECT_EQ(pos.value("SELECT Multiplier FROM MenuItemPortions").toInt(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(AdetKgNone, UnitMultiplier,
                         ::testing::Values(std::pair{0, 1}, std::pair{1, 1000}, std::pair{-1, 1000}));

TEST_F(SaveTest, every_button_colour_text_is_written_unchanged)
{
    const QStringList colours{"White",     "#FFFF0000", "#FFFFFF00", "#FF0000FF",
                              "#FF000000", "#FF008000", "#FFABA99E", "#FFA589C7"};
    for (const QString &colour : colours) {
        SaveChoices c = everything();
        c.buttonColor = colour;
        save({product(colour)}, c);
    }
    EXPECT_EQ(table("SELECT ButtonColor FROM ScreenMenuItems ORDER BY id"), colours);
}

TEST_F(SaveTest, sub_menu_tag_is_trimmed_and_blank_gives_empty_text)
{
    for (const char *tag : {"", "   ", "  Şerbetli Tatlılar  "}) {
        SaveChoices c = everything();
        c.subMenuTag = QString::fromUtf8(tag);
        save({product("Künefe")}, c);
    }
    EXPECT_EQ(table("SELECT quote(SubMenuTag) FROM ScreenMenuItems ORDER BY id"),
              (QStringList{"''", "''", "'Şerbetli Tatlılar'"}));
}

TEST_F(SaveTest, unusable_rows_write_nothing_but_are_counted)
{
    const SaveResult result = save({product("Çay"), product("", "5"), product("   ", "5"), product("Su", "abc"),
                                    product("Ayran", ""), ProductRow{" ", "", "  "}, product("Soda", "7,5", "12")},
                                   everything());

    QList<RowStatus> statuses;
    QList<SkipReason> reasons;
    for (const auto &outcome : result.rows) {
        statuses << outcome.status;
        reasons << outcome.skipReason;
    }
    EXPECT_EQ(statuses, (QList<RowStatus>{RowStatus::Landed, RowStatus::Skipped, RowStatus::Skipped,
                                          RowStatus::Skipped, RowStatus::Skipped, RowStatus::Empty, RowStatus::Landed}));
    EXPECT_EQ(reasons, (QList<SkipReason>{SkipReason::None, SkipReason::NoName, SkipReason::NoName,
                                          SkipReason::PriceNotNumber, SkipReason::PriceNotNumber, SkipReason::None,
                                          SkipReason::None}));
    EXPECT_EQ(progress, (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(result.visitedRows(), 7);
    EXPECT_EQ(table("SELECT Name, Barcode FROM MenuItems ORDER BY id"), (QStringList{"Çay|", "Soda|12"}));
    EXPECT_EQ(pos.count("MenuItemPrices"), 2);
    EXPECT_EQ(pos.count("ScreenMenuItems"), 2);
    EXPECT_EQ(pos.count("PrinterMaps"), 2);
    EXPECT_EQ(result.lastItemId(), pos.value("SELECT MAX(id) FROM MenuItems").toLongLong());
}

TEST_F(SaveTest, names_barcodes_and_group_are_cut_to_50_without_splitting_a_pair)
{
    const QString longName = QString(49, u'ç') + QStringLiteral("\U0001F375 sonu");
    SaveChoices c = everything();
    c.group = QString(60, u'G');
    save({ProductRow{QString(55, u'7'), "  " + longName, "1"}}, c);
    save({product("ikinci")}, c);

    const QString fifty = QString(50, u'G');
    EXPECT_EQ(table("SELECT Name, length(Barcode), GroupCode FROM MenuItems ORDER BY id"),
              (QStringList{QString(49, u'ç') + "|50|" + fifty, "ikinci|0|" + fifty}));
    EXPECT_EQ(pos.value("SELECT Name FROM ScreenMenuItems ORDER BY id").toString(), QString(49, u'ç'));
    EXPECT_EQ(table("SELECT Name FROM ScreenMenuCategories WHERE id > 2"), QStringList{fifty});
    EXPECT_EQ(table("SELECT DISTINCT MenuItemGroupCode FROM PrinterMaps"), QStringList{fifty});
}

TEST_F(SaveTest, category_is_created_once_and_found_again_on_later_saves)
{
    const SaveChoices c = everything();
    save({product("Latte"), product("Mocha"), product("Espresso")}, c);
    SaveChoices spaced = c;
    spaced.group = QStringLiteral("   Kahveler  ");
    save({product("Filtre")}, spaced);

    EXPECT_EQ(table("SELECT Name FROM ScreenMenuCategories WHERE id > 2"), QStringList{"Kahveler"});
    EXPECT_EQ(table("SELECT DISTINCT ScreenMenuCategoryId FROM ScreenMenuItems"), QStringList{"3"});
    EXPECT_EQ(pos.count("ScreenMenuItems"), 4);
    EXPECT_EQ(table("SELECT DISTINCT GroupCode FROM MenuItems"), QStringList{"Kahveler"});
}

class HostileGroup : public SaveTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(HostileGroup, group_text_is_stored_literally_and_found_again)
{
    SaveChoices c = everything();
    c.group = QString::fromUtf8(GetParam());
    save({product("Birinci")}, c);
    save({product("İkinci")}, c);

    EXPECT_EQ(pos.count("MenuItems"), 2);
    EXPECT_EQ(table("SELECT Name FROM ScreenMenuCategories WHERE id > 2"), QStringList{c.group});
    EXPECT_EQ(table("SELECT DISTINCT GroupCode FROM MenuItems"), QStringList{c.group});
    EXPECT_EQ(table("SELECT DISTINCT MenuItemGroupCode FROM PrinterMaps"), QStringList{c.group});
    EXPECT_EQ(table("SELECT DISTINCT ScreenMenuCategoryId FROM ScreenMenuItems"), QStringList{"3"});
}

INSTANTIATE_TEST_SUITE_P(QuotesAndInjection, HostileGroup,
                         ::testing::Values("Kahve'ler", "x'); DROP TABLE MenuItems;--", "a\"b", "50% ' OR '1'='1"));

TEST_F(SaveTest, prices_follow_the_given_locale)
{
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    SaveChoices c = choices();
    c.locale = turkish;
    const SaveResult inTurkish =
        save({product("a", "12,5"), product("b", "1.234,5"), product("c", " 7 "), product("d", "12.5")}, c);
    c.locale = english;
    const SaveResult inEnglish = save({product("e", "12.5"), product("f", "1,234.5"), product("g", "12,5")}, c);

    EXPECT_EQ(table("SELECT i.Name, p.Price FROM MenuItemPrices p JOIN MenuItemPortions o ON o.id = "
                    "p.MenuItemPortionId JOIN MenuItems i ON i.id = o.MenuItemId ORDER BY i.id"),
              (QStringList{"a|12.5", "b|1234.5", "c|7", "e|12.5", "f|1234.5"}));
    EXPECT_EQ(inTurkish.rows.last().skipReason, SkipReason::PriceNotNumber);
    EXPECT_EQ(inEnglish.rows.last().skipReason, SkipReason::PriceNotNumber);
}

TEST_F(SaveTest, an_existing_printer_mapping_of_the_item_is_overwritten)
{
    // A mapping left behind for the id the next item will get.
    ASSERT_EQ(pos.exec("PRAGMA foreign_keys = OFF"), QString());
    ASSERT_EQ(pos.exec("INSERT INTO PrinterMaps (PrintJobId, MenuItemGroupCode, MenuItemId, PrinterId, "
                       "PrinterTemplateId, DepartmentId, TicketTypeId) VALUES (9, 'eski', 1, 3, 9, 5, 5)"),
              QString());
    ASSERT_EQ(pos.exec("PRAGMA foreign_keys = ON"), QString());

    const SaveResult result = save({product("Çay"), product("Simit")}, everything());
    ASSERT_EQ(result.rows.first().itemId, 1);
    EXPECT_EQ(table("SELECT id, PrintJobId, MenuItemGroupCode, MenuItemId, PrinterId, PrinterTemplateId, "
                    "DepartmentId, TicketTypeId FROM PrinterMaps ORDER BY id"),
              (QStringList{"1|2|Kahveler|1|2|2|0|0", "2|2|Kahveler|2|2|2|0|0"}));
}

TEST_F(SaveTest, duplicates_found_by_the_preview_can_be_left_out_or_added)
{
    ASSERT_EQ(pos.exec("INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (500, 'Eski', '8690', 'Eski Çay')"),
              QString());
    const QList<ProductRow> rows{product("Çay", "10", "8690"), product("Simit", "5", "77"), product("Simit", "5", "77 "),
                                 product("Su", "3")};
    const SaveChoices c = choices();
    import::GridVerdicts verdicts(c, {}, ado::TextFidelity::unicode());
    verdicts.judgeAll(rows);
    const import::BarcodeLookup known = import::findExistingBarcodes(pos.connection.database(), verdicts.barcodes());
    ASSERT_TRUE(known.ok());
    verdicts.addExisting(known.items);
    const QSet<int> duplicates = import::duplicateRows(verdicts.previews());
    EXPECT_EQ(duplicates, (QSet<int>{1, 3}));

    import::BulkImport import(pos.connection.database(), pos.connection.dialect());
    const SaveResult skipped = import.run(rows, c, {}, duplicates);
    EXPECT_EQ(skipped.count(RowStatus::LeftOut), 2);
    EXPECT_EQ(skipped.count(RowStatus::Landed), 2);
    EXPECT_EQ(table("SELECT Name, Barcode FROM MenuItems WHERE id <> 500 ORDER BY id"), (QStringList{"Simit|77", "Su|"}));

    const SaveResult added = import.run(rows, c);
    EXPECT_EQ(added.count(RowStatus::Landed), 4) << "adding anyway writes every usable row";
    EXPECT_EQ(pos.count("MenuItems"), 7);
}
