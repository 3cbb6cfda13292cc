// A save that changes items already on the menu, on a live server: the
// updates ride in the same batch as the new items, each value changes only
// while it is still the one the preview read, and a row that finds it
// changed fails whole while the others land.
#include <QHash>
#include <QTemporaryDir>

#include "tests/common/Outcomes.h"
#include "LiveServer.h"
#include "import/BarcodeLookup.h"
#include "import/BulkImport.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "import/PosRecords.h"
#include "import/RowPreview.h"
#include "import/SqlServerBatch.h"

TEST_F(LiveServer, updates_and_a_new_item_in_one_batch_change_exactly_what_the_preview_read_and_are_undone)
{
    import::SaveChoices choices = everyRecord();
    const auto save = [&](const QList<import::ProductRow> &rows, const import::SavePlan &plan,
                          import::SaveJournal *journal) {
        return import::BulkImport(connection.database(), connection.dialect(), {}, connection.textFidelity())
            .run(rows, choices, {}, plan, journal);
    };

    // Items made by an earlier save, and two the point-of-sale application
    // made: one with a small and a Normal portion, one whose portion has no
    // price yet.
    const QList<import::ProductRow> earlier{
        {QStringLiteral("8690000000001"), QStringLiteral("Çay"), QStringLiteral("10")},
        {QStringLiteral("8690000000005"), QStringLiteral("Simit"), QStringLiteral("8")},
        {QStringLiteral("8690000000006"), QStringLiteral("Poğaça"), QStringLiteral("15")}};
    ASSERT_EQ(save(earlier, {}, nullptr).count(import::RowStatus::Landed), 3);
    const QString tost = QStringLiteral("(SELECT id FROM MenuItems WHERE Barcode = N'8690000000002')");
    const QString tostPortion = QStringLiteral("(SELECT id FROM MenuItemPortions WHERE MenuItemId = %1 AND Name = N'%2')");
    for (const QString &sql :
         {QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES "
                         "(N'Mutfak', N'8690000000002', 0, N'Tost'), (N'Mutfak', N'8690000000003', 0, NULL)"),
          QStringLiteral("INSERT INTO MenuItemPortions (Name, MenuItemId, Multiplier) VALUES "
                         "(N'Küçük', %1, 1), (N'Normal', %1, 1), "
                         "(N'Normal', (SELECT id FROM MenuItems WHERE Barcode = N'8690000000003'), 1)")
              .arg(tost),
          QStringLiteral("INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (%1, NULL, 20), "
                         "(%2, NULL, 30)")
              .arg(tostPortion.arg(tost, QStringLiteral("Küçük")), tostPortion.arg(tost, QStringLiteral("Normal")))}) {
        ASSERT_EQ(exec(sql), QString()) << sql.toStdString();
    }

    choices.updatePrices = true;
    choices.updateNames = true;
    const QList<import::ProductRow> products{
        {QStringLiteral("8690000000001"), QStringLiteral("Çay Büyük"), QStringLiteral("12.5")},
        {QStringLiteral("8690000000002"), QStringLiteral("Tost"), QStringLiteral("35")},
        {QStringLiteral("8690000000003"), QStringLiteral("Maden Suyu"), QStringLiteral("5")},
        {QStringLiteral("8690000000004"), QStringLiteral("Su"), QStringLiteral("7")},
        {QStringLiteral("8690000000005"), QStringLiteral("Simit"), QStringLiteral("9")},
        {QStringLiteral("8690000000006"), QStringLiteral("Poğaça Peynirli"), QStringLiteral("16")},
    };
    import::GridVerdicts verdicts(choices, {}, connection.textFidelity());
    verdicts.judgeAll(products);
    const import::BarcodeLookup found = import::findExistingBarcodes(connection.database(), verdicts.barcodes());
    ASSERT_TRUE(found.ok()) << found.text().toStdString();
    verdicts.addExisting(found.items);
    const import::SavePlan plan = import::updatePlan(verdicts.previews());
    ASSERT_EQ(plan.updates.size(), 5);

    // Someone changes Simit's price, and Poğaça's name only in case, after
    // the preview.
    ASSERT_EQ(exec(QStringLiteral("UPDATE MenuItemPrices SET Price = 8.5 WHERE MenuItemPortionId IN "
                                  "(SELECT p.id FROM MenuItemPortions p JOIN MenuItems m ON m.id = p.MenuItemId "
                                  "WHERE m.Barcode = N'8690000000005')")),
              QString());
    ASSERT_EQ(exec(QStringLiteral("UPDATE MenuItems SET Name = N'POĞAÇA' WHERE Barcode = N'8690000000006'")),
              QString());
    QHash<QString, qint64> counts;
    QHash<QString, QList<QVariantList>> before;
    for (const QString &table : posdb::sqlServerTables()) {
        counts[table] = count(table);
        before[table] = rows(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(table));
    }
    const QList<QVariantList> buttonsBefore = rows(QStringLiteral("SELECT * FROM ScreenMenuItems ORDER BY id"));
    const QList<QVariantList> mapsBefore = rows(QStringLiteral("SELECT * FROM PrinterMaps ORDER BY id"));

    QTemporaryDir journals;
    const std::unique_ptr<import::ImportJournal> journal = valueOf(import::ImportJournal::create(
        journals.path(), {QStringLiteral("live"), QStringLiteral("fiyatlar.xlsx"), QDateTime::currentDateTimeUtc()}));
    ASSERT_TRUE(journal);
    const import::SaveResult result = save(products, plan, journal.get());
    ASSERT_EQ(result.visitedRows(), 6);
    using import::RowStatus;
    QList<RowStatus> statuses;
    for (const import::RowOutcome &row : result.rows)
        statuses << row.status;
    EXPECT_EQ(statuses, (QList<RowStatus>{RowStatus::Updated, RowStatus::Updated, RowStatus::Updated,
                                          RowStatus::Landed, RowStatus::Failed, RowStatus::Failed}));
    // Simit's price is not the one read; Poğaça's new price was written
    // before its name was found changed, and went back with the row.
    EXPECT_EQ(result.rows[4].failedTable, "MenuItemPrices");
    EXPECT_EQ(result.rows[4].error, import::changedSinceRead());
    EXPECT_EQ(result.rows[5].failedTable, "MenuItems");
    EXPECT_EQ(result.rows[5].error, import::changedSinceRead());

    EXPECT_EQ(lines(rows(QStringLiteral("SELECT m.Barcode, COALESCE(m.Name, N'-'), p.Name, pr.Price FROM MenuItems m "
                                        "JOIN MenuItemPortions p ON p.MenuItemId = m.id "
                                        "LEFT JOIN MenuItemPrices pr ON pr.MenuItemPortionId = p.id "
                                        "ORDER BY m.Barcode, p.id, pr.id"))),
              (QStringList{"8690000000001|Çay Büyük|Normal|12.5", "8690000000002|Tost|Küçük|20",
                           "8690000000002|Tost|Normal|35", "8690000000003|Maden Suyu|Normal|5",
                           "8690000000004|Su|Normal|7", "8690000000005|Simit|Normal|8.5",
                           "8690000000006|POĞAÇA|Normal|15"}));
    // Besides the new item's records and the price created, nothing was
    // added; the buttons and mappings there were are untouched.
    counts[QStringLiteral("MenuItems")] += 1;
    counts[QStringLiteral("MenuItemPortions")] += 1;
    counts[QStringLiteral("MenuItemPrices")] += 2;
    counts[QStringLiteral("ScreenMenuItems")] += 1;
    counts[QStringLiteral("PrinterMaps")] += 1;
    for (const QString &table : posdb::sqlServerTables())
        EXPECT_EQ(count(table), counts.value(table)) << table.toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ScreenMenuItems ORDER BY id")).mid(0, buttonsBefore.size()),
              buttonsBefore);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM PrinterMaps ORDER BY id")).mid(0, mapsBefore.size()), mapsBefore);

    // The journal names the price record the save created for the priceless portion.
    const import::JournalContents contents = import::readJournal(journal->path());
    ASSERT_EQ(contents.committed.size(), 1);
    const QList<import::JournalRow> &landed = contents.committed.constFirst().rows;
    ASSERT_EQ(landed.size(), 4);
    const QList<QVariantList> created = rows(QStringLiteral(
        "SELECT pr.id FROM MenuItemPrices pr JOIN MenuItemPortions p ON p.id = pr.MenuItemPortionId "
        "JOIN MenuItems m ON m.id = p.MenuItemId WHERE m.Barcode = N'8690000000003'"));
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(landed[2].priceId, created.first().value(0).toLongLong());

    // The undo puts every old price and name back and removes the new item.
    const import::UndoResult undone = import::undoImport(connection.database(), connection.dialect(), journal->path());
    EXPECT_TRUE(undone.undone) << undone.message.toStdString();
    // Compared as texts, so that a NULL put back as "" shows.
    for (const QString &table : posdb::sqlServerTables())
        EXPECT_EQ(lines(rows(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(table))), lines(before.value(table)))
            << table.toStdString();
}

TEST_F(LiveServer, an_update_after_more_new_items_than_a_batch_with_updates_holds_goes_into_the_next_batch)
{
    import::SaveChoices choices = everyRecord();
    const auto save = [&](const QList<import::ProductRow> &rows, const import::SavePlan &plan) {
        return import::BulkImport(connection.database(), connection.dialect(), {}, connection.textFidelity())
            .run(rows, choices, {}, plan);
    };
    const import::ProductRow registered{QStringLiteral("8690000000000"), QStringLiteral("Çay"), QStringLiteral("10")};
    ASSERT_EQ(save({registered}, {}).count(import::RowStatus::Landed), 1);

    // More new items than a batch with updates holds, then the update.
    const int newItems = import::sqlServerRowsPerBatch({true}) + 5;
    ASSERT_LT(newItems, import::sqlServerRowsPerBatch({}));
    QList<import::ProductRow> products;
    for (int i = 1; i <= newItems; ++i)
        products.append({QString::number(8690000000000LL + i), QStringLiteral("Ürün %1").arg(i), QStringLiteral("5")});
    products.append({registered.barcode, registered.name, QStringLiteral("12.5")});
    choices.updatePrices = true;
    import::GridVerdicts verdicts(choices, {}, connection.textFidelity());
    verdicts.judgeAll(products);
    verdicts.addExisting(import::findExistingBarcodes(connection.database(), verdicts.barcodes()).items);

    const import::SaveResult result = save(products, import::updatePlan(verdicts.previews()));
    EXPECT_EQ(result.count(import::RowStatus::Landed), newItems);
    EXPECT_EQ(result.count(import::RowStatus::Updated), 1);
    // Two batches, each begun, sent and committed.
    EXPECT_EQ(result.statementsSent, 6);
    EXPECT_EQ(lines(rows(QStringLiteral("SELECT pr.Price FROM MenuItemPrices pr JOIN MenuItemPortions p ON p.id = "
                                        "pr.MenuItemPortionId JOIN MenuItems m ON m.id = p.MenuItemId "
                                        "WHERE m.Barcode = N'8690000000000'"))),
              QStringList{"12.5"});
}
