#include "SaveFixture.h"
#include "import/PosRecords.h"
#include "import/SaveReport.h"

using import::BulkImport;
using import::ProductRow;
using import::RowStatus;
using import::SaveChoices;
using import::SaveResult;

namespace {

struct FailingWrite {
    const char *table;
    const char *when;  // trigger condition that holds for the row named 'Bozuk' only
};

}  // namespace

class FailingRow : public SaveTest, public ::testing::WithParamInterface<FailingWrite> {};

TEST_P(FailingRow, leaves_nothing_of_that_row_and_every_other_row_whole)
{
    const FailingWrite &w = GetParam();
    ASSERT_EQ(pos.exec(QStringLiteral("CREATE TRIGGER fail BEFORE INSERT ON %1 WHEN %2 "
                                      "BEGIN SELECT RAISE(ABORT, 'bozuk satır'); END")
                           .arg(w.table, w.when)),
              QString());

    const SaveResult result = save({product("Çay"), product("Bozuk"), product("Kahve")}, everything());

    ASSERT_EQ(result.rows.size(), 3);
    EXPECT_EQ(result.rows[0].status, RowStatus::Landed);
    EXPECT_EQ(result.rows[1].status, RowStatus::Failed);
    EXPECT_EQ(result.rows[1].failedTable, QString::fromLatin1(w.table));
    EXPECT_TRUE(result.rows[1].error.contains("bozuk satır")) << result.rows[1].error.toStdString();
    EXPECT_EQ(result.rows[2].status, RowStatus::Landed);
    EXPECT_EQ(progress, (QList<int>{1, 2, 3}));

    // Each landed item has exactly its own portion, price, button and mapping.
    EXPECT_EQ(table("SELECT i.Name, COUNT(DISTINCT o.id), COUNT(DISTINCT p.id), COUNT(DISTINCT s.id), "
                    "COUNT(DISTINCT m.id), MIN(s.Name) FROM MenuItems i "
                    "JOIN MenuItemPortions o ON o.MenuItemId = i.id JOIN MenuItemPrices p ON p.MenuItemPortionId = o.id "
                    "JOIN ScreenMenuItems s ON s.MenuItemId = i.id JOIN PrinterMaps m ON m.MenuItemId = i.id "
                    "GROUP BY i.id ORDER BY i.id"),
              (QStringList{"Çay|1|1|1|1|Çay", "Kahve|1|1|1|1|Kahve"}));
    for (const char *written : {"MenuItems", "MenuItemPortions", "MenuItemPrices", "ScreenMenuItems", "PrinterMaps"})
        EXPECT_EQ(pos.count(written), 2) << written;
    EXPECT_EQ(pos.count("ScreenMenuCategories"), 3);
}

INSTANTIATE_TEST_SUITE_P(
    EachWrite, FailingRow,
    ::testing::Values(
        FailingWrite{"MenuItems", "NEW.Name = 'Bozuk'"},
        FailingWrite{"MenuItemPortions", "(SELECT Name FROM MenuItems WHERE id = NEW.MenuItemId) = 'Bozuk'"},
        FailingWrite{"MenuItemPrices", "(SELECT i.Name FROM MenuItemPortions o JOIN MenuItems i ON i.id = "
                                       "o.MenuItemId WHERE o.id = NEW.MenuItemPortionId) = 'Bozuk'"},
        FailingWrite{"ScreenMenuItems", "NEW.Name = 'Bozuk'"},
        FailingWrite{"PrinterMaps", "(SELECT Name FROM MenuItems WHERE id = NEW.MenuItemId) = 'Bozuk'"}),
    [](const auto &info) { return std::string(info.param.table); });

TEST_F(SaveTest, a_category_created_by_a_failed_row_is_not_reused)
{
    ASSERT_EQ(pos.exec("CREATE TRIGGER fail BEFORE INSERT ON ScreenMenuItems WHEN NEW.Name = 'Bozuk' "
                       "BEGIN SELECT RAISE(ABORT, 'bozuk'); END"),
              QString());
    const SaveResult result = save({product("Bozuk"), product("Çay"), product("Kahve")}, everything());

    EXPECT_EQ(result.rows[0].status, RowStatus::Failed);
    EXPECT_EQ(result.count(RowStatus::Landed), 2);
    EXPECT_EQ(table("SELECT Name FROM ScreenMenuCategories WHERE id > 2"), QStringList{"Kahveler"});
    EXPECT_EQ(pos.count("ScreenMenuItems"), 2);
}

TEST_F(SaveTest, rows_lost_with_a_transaction_the_database_ended_are_reported_failed)
{
    // RAISE(ROLLBACK) ends the whole transaction, taking the uncommitted rows
    // before the failing one with it.
    ASSERT_EQ(pos.exec("CREATE TRIGGER fail BEFORE INSERT ON MenuItemPrices WHEN NEW.Price = 13 "
                       "BEGIN SELECT RAISE(ROLLBACK, 'geri alındı'); END"),
              QString());
    const SaveResult result = save({product("Çay"), product("Bozuk", "13"), product("Kahve")}, everything());

    ASSERT_EQ(result.rows.size(), 3);
    EXPECT_EQ(result.rows[1].status, RowStatus::Failed);
    EXPECT_EQ(result.rows[1].failedTable, "MenuItemPrices");
    EXPECT_EQ(result.rows[1].error, "geri alındı");
    EXPECT_EQ(result.rows[2].status, RowStatus::Landed);
    QStringList landed;
    for (const auto &outcome : result.rows) {
        if (outcome.status == RowStatus::Landed)
            landed << QString::number(outcome.itemId);
        else
            EXPECT_EQ(outcome.error, "geri alındı") << outcome.gridRow;
    }
    EXPECT_EQ(table("SELECT id FROM MenuItems ORDER BY id"), landed);
    EXPECT_EQ(pos.count("MenuItemPortions"), landed.size());
    EXPECT_EQ(pos.count("PrinterMaps"), landed.size());
    EXPECT_EQ(table("SELECT Name FROM ScreenMenuCategories WHERE id > 2"), QStringList{"Kahveler"});
}

TEST_F(SaveTest, a_refused_commit_fails_its_rows_and_leaves_nothing)
{
    // A check the database makes only at the commit: every mapping leaves a
    // record behind whose deferred reference names no printer.
    ASSERT_EQ(pos.exec("CREATE TABLE Checks (PrinterId INT REFERENCES Printers(id) DEFERRABLE INITIALLY DEFERRED)"),
              QString());
    ASSERT_EQ(pos.exec("CREATE TRIGGER check_mapping AFTER INSERT ON PrinterMaps "
                       "BEGIN INSERT INTO Checks VALUES (NEW.PrinterId + 1000); END"),
              QString());
    const SaveResult result = save({product("Çay"), product("Kahve")}, everything());

    ASSERT_EQ(result.rows.size(), 2);
    for (const auto &outcome : result.rows) {
        EXPECT_EQ(outcome.status, RowStatus::Failed);
        EXPECT_EQ(outcome.failedTable, QString());
        EXPECT_TRUE(outcome.error.contains("FOREIGN KEY")) << outcome.error.toStdString();
    }
    EXPECT_FALSE(result.lastItemId());
    EXPECT_EQ(pos.count("MenuItems"), 0);
    EXPECT_EQ(pos.count("ScreenMenuCategories"), 2);
}

TEST_F(SaveTest, failures_across_many_rows_leave_exactly_the_landed_rows)
{
    ASSERT_EQ(pos.exec("CREATE TRIGGER fail BEFORE INSERT ON ScreenMenuItems WHEN NEW.Name LIKE '%7' "
                       "BEGIN SELECT RAISE(ABORT, 'yedi'); END"),
              QString());
    QList<ProductRow> rows;
    for (int i = 1; i <= 1200; ++i)
        rows << product(QStringLiteral("Ürün %1").arg(i), QStringLiteral("%1,5").arg(i));
    const SaveResult result = save(rows, everything());

    EXPECT_EQ(result.count(RowStatus::Failed), 120);
    EXPECT_EQ(result.count(RowStatus::Landed), 1080);
    EXPECT_EQ(progress.size(), 1200);
    EXPECT_EQ(pos.count("MenuItems"), 1080);
    EXPECT_EQ(pos.value("SELECT COUNT(*) FROM MenuItems WHERE Name LIKE '%7'").toInt(), 0);
    EXPECT_EQ(pos.value("SELECT COUNT(*) FROM MenuItems i JOIN MenuItemPortions o ON o.MenuItemId = i.id "
                        "JOIN MenuItemPrices p ON p.MenuItemPortionId = o.id JOIN ScreenMenuItems s ON "
                        "s.MenuItemId = i.id AND s.Name = i.Name JOIN PrinterMaps m ON m.MenuItemId = i.id "
                        "WHERE p.Price = CAST(substr(i.Name, 6) AS REAL) + 0.5")
                  .toInt(),
              1080);
}

TEST_F(SaveTest, a_statement_the_database_refuses_to_prepare_fails_every_usable_row)
{
    ASSERT_EQ(pos.exec("DROP TABLE ScreenMenuItems"), QString());
    const SaveResult result = save({product("Çay"), ProductRow{}, product("Kahve")}, choices());

    EXPECT_EQ(result.count(RowStatus::Failed), 2);
    EXPECT_EQ(result.rows[1].status, RowStatus::Empty);
    EXPECT_EQ(result.rows[0].failedTable, "ScreenMenuItems");
    EXPECT_EQ(progress, (QList<int>{1, 2, 3}));
    EXPECT_EQ(pos.count("MenuItems"), 0);
}

TEST_F(SaveTest, an_unknown_database_kind_writes_nothing)
{
    BulkImport import(pos.connection.database(), ado::Dialect::None);
    const SaveResult result = import.run({product("Çay")}, everything());
    EXPECT_EQ(result.count(RowStatus::Failed), 1);
    EXPECT_EQ(pos.count("MenuItems"), 0);
}

TEST_F(SaveTest, a_text_with_a_broken_character_fails_its_row_before_any_write)
{
    // Half of a surrogate pair would arrive as a replacement character.
    const QChar lone(0xD83D);
    BulkImport import(pos.connection.database(), pos.connection.dialect(), QString(), ado::TextFidelity::unicode());
    SaveChoices withTag = everything();
    withTag.subMenuTag = QString(lone);
    const SaveResult result = import.run({product("Çay İçecek 😀"), product(QStringLiteral("Kahve ") + lone)}, everything());
    ASSERT_EQ(result.visitedRows(), 2);
    EXPECT_EQ(result.rows[0].status, RowStatus::Landed);
    EXPECT_EQ(result.rows[1].status, RowStatus::Failed);
    EXPECT_EQ(result.rows[1].failedTable, "MenuItems");
    EXPECT_TRUE(result.rows[1].error.contains(QStringLiteral("ürün adı"))) << result.rows[1].error.toStdString();

    const SaveResult tagged = import.run({product("Süt")}, withTag);
    EXPECT_EQ(tagged.rows[0].failedTable, "ScreenMenuItems");
    EXPECT_EQ(table("SELECT Name FROM MenuItems"), QStringList{"Çay İçecek 😀"});
    EXPECT_EQ(pos.count("ScreenMenuItems"), 1);
}

TEST_F(SaveTest, a_closed_connection_writes_nothing_and_says_why)
{
    BulkImport import(QSqlDatabase(), ado::Dialect::None, QStringLiteral("Sunucu bulunamadı"));
    int calls = 0;
    const SaveResult result = import.run({product("Çay")}, everything(), [&calls](int) { return ++calls, true; });
    EXPECT_FALSE(result.connected);
    EXPECT_EQ(result.connectionError, "Sunucu bulunamadı");
    EXPECT_EQ(result.visitedRows(), 0);
    EXPECT_EQ(calls, 0);

    pos.connection.database().close();
    const SaveResult closed = BulkImport(pos.connection.database(), ado::Dialect::Sqlite).run({product("Çay")}, everything());
    EXPECT_FALSE(closed.connected);
    ASSERT_TRUE(pos.connection.open());
    EXPECT_EQ(pos.count("MenuItems"), 0);
}

TEST_F(SaveTest, a_stop_leaves_whole_rows_up_to_it_and_names_the_rows_not_attempted)
{
    ASSERT_EQ(pos.exec(QStringLiteral("CREATE TRIGGER fail BEFORE INSERT ON PrinterMaps WHEN (SELECT Name FROM "
                                      "MenuItems WHERE id = NEW.MenuItemId) = 'Bozuk' "
                                      "BEGIN SELECT RAISE(ABORT, 'bozuk satır'); END")),
              QString());
    BulkImport import(pos.connection.database(), pos.connection.dialect());
    // Rows 1-5 are visited; the stop comes while row 5 is the last one done.
    const QList<ProductRow> rows{product("a"),    product(""),  product("Bozuk"), product("b"), product("c"),
                                 product("d"),    ProductRow{}, product("", "x"), product("e")};
    const SaveResult result = import.run(rows, everything(), [](int visited) { return visited < 5; });

    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.visitedRows(), 5);
    EXPECT_EQ(result.notAttempted, (QList<int>{6, 8, 9})) << "the blank row 7 is no product";
    EXPECT_EQ(table("SELECT i.Name, COUNT(DISTINCT o.id), COUNT(DISTINCT p.id), COUNT(DISTINCT s.id), "
                    "COUNT(DISTINCT m.id) FROM MenuItems i "
                    "LEFT JOIN MenuItemPortions o ON o.MenuItemId = i.id "
                    "LEFT JOIN MenuItemPrices p ON p.MenuItemPortionId = o.id "
                    "LEFT JOIN ScreenMenuItems s ON s.MenuItemId = i.id LEFT JOIN PrinterMaps m ON m.MenuItemId = i.id "
                    "GROUP BY i.id ORDER BY i.id"),
              (QStringList{"a|1|1|1|1", "b|1|1|1|1", "c|1|1|1|1"}));
    for (const char *written : {"MenuItemPortions", "MenuItemPrices", "ScreenMenuItems", "PrinterMaps"})
        EXPECT_EQ(pos.count(written), 3) << written;
    EXPECT_EQ(import::completionMessage(result).toStdString(),
              "Kaydetme durduruldu: 3 ürün eklendi\nAtlanan satır: 1 (2)\n"
              "Hatalı satır: 1 (3: bozuk satır)\nDenenmeyen satır: 3 (6, 8–9)");

    const SaveResult last = import.run({product("f")}, everything(), [](int) { return false; });
    EXPECT_FALSE(last.stopped) << "a stop after the last row stops nothing";
    EXPECT_TRUE(last.notAttempted.isEmpty());
    EXPECT_EQ(import::completionMessage(last), "1 ürün eklendi");
}

TEST_F(SaveTest, a_connection_closed_under_the_save_reports_no_row_landed_that_is_not_there)
{
    // A closed connection makes the driver fail transactions, statements and
    // the commit without any message; those failures must still count.
    {
        QSqlDatabase db = pos.connection.database();
        BulkImport import(db, pos.connection.dialect());
        const SaveResult result = import.run({product("Çay"), product("Kahve"), product("Ayran")}, everything(),
                                             [&db](int visited) {
                                                 if (visited == 1)
                                                     db.close();
                                                 return true;
                                             });
        ASSERT_EQ(result.visitedRows(), 3);
        for (const auto &outcome : result.rows) {
            EXPECT_EQ(outcome.status, RowStatus::Failed) << outcome.gridRow;
            EXPECT_FALSE(outcome.error.isEmpty()) << outcome.gridRow;
        }
    }
    ASSERT_TRUE(pos.connection.open());
    EXPECT_EQ(pos.count("MenuItems"), 0);
}

TEST(WriteResultId, a_null_or_non_numeric_id_is_no_id)
{
    // Qt converts a NULL bigint to 0 and calls it a success.
    EXPECT_EQ(import::idFrom(QVariant(QMetaType::fromType<qlonglong>())), std::nullopt);
    EXPECT_EQ(import::idFrom(QVariant()), std::nullopt);
    EXPECT_EQ(import::idFrom(QVariant(QStringLiteral("yok"))), std::nullopt);
    EXPECT_EQ(import::idFrom(QVariant(qlonglong(0))), 0);
    EXPECT_EQ(import::idFrom(QVariant(QStringLiteral("42"))), 42);
}
