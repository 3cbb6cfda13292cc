// A list whose rows carry their own group, unit, printer, colour and
// sub-menu tag, saved on a live server: each row's records take its own
// values, a new group's category is created once, and the undo takes the
// categories away again. The embedded database makes the same records.
#include <QTemporaryDir>

#include "tests/common/Outcomes.h"
#include "LiveServer.h"
#include "import/BulkImport.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "import/SqlServerBatch.h"

namespace {

// What a save wrote of each item, by barcode, ids left out so that two
// databases compare.
const QStringList kWrittenRecords{
    QStringLiteral("SELECT Name FROM ScreenMenuCategories ORDER BY id"),
    QStringLiteral("SELECT m.Barcode, m.GroupCode, p.Multiplier FROM MenuItems m "
                   "JOIN MenuItemPortions p ON p.MenuItemId = m.id ORDER BY m.Barcode"),
    QStringLiteral("SELECT m.Barcode, c.Name, b.ButtonColor, b.SubMenuTag FROM ScreenMenuItems b "
                   "JOIN MenuItems m ON m.id = b.MenuItemId JOIN ScreenMenuCategories c ON c.id = "
                   "b.ScreenMenuCategoryId ORDER BY m.Barcode"),
    QStringLiteral("SELECT m.Barcode, pm.MenuItemGroupCode, pm.PrinterId FROM PrinterMaps pm "
                   "JOIN MenuItems m ON m.id = pm.MenuItemId ORDER BY m.Barcode"),
};

QList<QStringList> writtenRecords(const ado::Connection &connection)
{
    QList<QStringList> records;
    for (const QString &sql : kWrittenRecords)
        records << lines(queryRows(connection.newQuery(), sql));
    return records;
}

import::ProductRow product(const char *barcode, const char *name, const char *price)
{
    return {QString::fromUtf8(barcode), QString::fromUtf8(name), QString::fromLatin1(price)};
}

}  // namespace

TEST_F(LiveServer, rows_with_their_own_values_write_them_create_each_new_group_once_and_are_undone)
{
    import::SaveChoices choices = everyRecord();
    choices.buttonColor = QStringLiteral("White");
    QList<import::ProductRow> products{product("8690000000001", "Çay", "10"),
                                         product("8690000000002", "Künefe", "120"),
                                         product("8690000000003", "Lahmacun", "90"),
                                         product("8690000000004", "Pide", "110"),
                                         product("8690000000005", "Su", "5"),
                                         product("8690000000006", "Ayran", "15")};
    // A group stored under another case, a new one of two rows, a unit, a
    // printer of its own and none at all, a colour and a sub-menu tag.
    products[1].group = QStringLiteral("TATLILAR");
    products[2].group = QStringLiteral("Fırın");
    products[2].unit = QStringLiteral("Kg");
    products[3].group = QStringLiteral("Fırın");
    products[3].printer = QStringLiteral("Bar Yazıcısı");
    products[4].printer = QStringLiteral("Yok");
    products[5].colour = QStringLiteral("Kırmızı");
    products[5].subMenuTag = QStringLiteral("İçecek");
    const QList<QVariantList> categoriesBefore = rows(QStringLiteral("SELECT * FROM ScreenMenuCategories ORDER BY id"));
    const QString countsBefore = everyCount();

    QTemporaryDir journals;
    const std::unique_ptr<import::ImportJournal> journal = valueOf(import::ImportJournal::create(
        journals.path(), {QStringLiteral("live"), QStringLiteral("urunler.xlsx"), QDateTime::currentDateTimeUtc()}));
    ASSERT_TRUE(journal);
    const import::SaveResult saved =
        import::BulkImport(connection.database(), connection.dialect(), {}, connection.textFidelity())
            .run(products, choices, {}, {}, journal.get());
    ASSERT_EQ(saved.count(import::RowStatus::Landed), 6) << saved.rows.constFirst().error.toStdString();

    const QList<QStringList> expected{
        {"Sıcak İçecekler", "Tatlılar", "Toplu", "Fırın"},
        {"8690000000001|Toplu|1", "8690000000002|Tatlılar|1", "8690000000003|Fırın|1000", "8690000000004|Fırın|1",
         "8690000000005|Toplu|1", "8690000000006|Toplu|1"},
        {"8690000000001|Toplu|White|", "8690000000002|Tatlılar|White|", "8690000000003|Fırın|White|",
         "8690000000004|Fırın|White|", "8690000000005|Toplu|White|", "8690000000006|Toplu|#FFFF0000|İçecek"},
        {"8690000000001|Toplu|1", "8690000000002|Tatlılar|1", "8690000000003|Fırın|1", "8690000000004|Fırın|2",
         "8690000000006|Toplu|1"},
    };
    EXPECT_EQ(writtenRecords(connection), expected);

    // The embedded database makes the same records of the same rows.
    TestDatabase standIn(true);
    const import::SaveResult standInSaved =
        import::BulkImport(standIn.connection.database(), standIn.connection.dialect(), {},
                             standIn.connection.textFidelity())
            .run(products, choices);
    EXPECT_EQ(standInSaved.count(import::RowStatus::Landed), 6);
    EXPECT_EQ(writtenRecords(standIn.connection), expected);

    // The undo removes the items and the two categories the save created.
    const import::UndoResult undone = import::undoImport(connection.database(), connection.dialect(), journal->path());
    EXPECT_TRUE(undone.undone) << undone.message.toStdString();
    EXPECT_EQ(undone.items, 6);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ScreenMenuCategories ORDER BY id")), categoriesBefore);
    EXPECT_EQ(everyCount(), countsBefore);
}

// A row that fails after creating its group's category takes the category
// back with it; the next row of the group creates it again and reports it.
TEST_F(LiveServer, a_failed_row_takes_its_new_category_back_and_a_later_row_of_the_group_creates_it)
{
    const import::RowValues window{QStringLiteral("Toplu"), QStringLiteral("1"), QStringLiteral("White"), QString(),
                                     QStringLiteral("1")};
    import::RowValues firin = window;
    firin.group = QStringLiteral("Fırın");
    import::RowValues refused = firin;
    refused.buttonColor = QString(60, u'F');  // longer than the button's colour column
    const QList<import::RowToWrite> rowsToWrite{
        {1, {QStringLiteral("8690000000001"), QStringLiteral("Çay"), 10}, std::nullopt, window},
        {2, {QStringLiteral("8690000000002"), QStringLiteral("Pide"), 110}, std::nullopt, refused},
        {3, {QStringLiteral("8690000000003"), QStringLiteral("Lahmacun"), 90}, std::nullopt, firin},
        {4, {QStringLiteral("8690000000004"), QStringLiteral("Kıymalı"), 95}, std::nullopt, firin}};

    QSqlDatabase db = connection.database();
    import::SqlServerBatchWriter writer(db, {true, window});
    ASSERT_TRUE(writer.prepare().ok());
    for (const import::RowToWrite &row : rowsToWrite) {
        ASSERT_TRUE(writer.takes(row));
        writer.add(row);
    }
    const QList<import::RowWritten> written = writer.send();
    ASSERT_TRUE(writer.commit().ok());

    ASSERT_EQ(written.size(), 4);
    EXPECT_TRUE(written[0].result.ok());
    EXPECT_FALSE(written[1].result.ok());
    EXPECT_EQ(written[1].result.table, "ScreenMenuItems");
    EXPECT_EQ(written[1].newCategory, std::nullopt);
    const QList<QVariantList> firinCategory =
        rows(QStringLiteral("SELECT id FROM ScreenMenuCategories WHERE Name = N'Fırın'"));
    ASSERT_EQ(firinCategory.size(), 1);
    EXPECT_EQ(written[2].newCategory, firinCategory.first().value(0).toLongLong());
    EXPECT_EQ(written[3].newCategory, std::nullopt);
    EXPECT_TRUE(written[0].newCategory);  // "Toplu" was not there either
    for (const qsizetype index : {2, 3})
        EXPECT_EQ(written[index].record.group, QStringLiteral("Fırın")) << index;
    EXPECT_EQ(lines(rows(QStringLiteral("SELECT m.Barcode, c.Name FROM ScreenMenuItems b JOIN MenuItems m ON m.id = "
                                        "b.MenuItemId JOIN ScreenMenuCategories c ON c.id = b.ScreenMenuCategoryId "
                                        "ORDER BY m.Barcode"))),
              (QStringList{"8690000000001|Toplu", "8690000000003|Fırın", "8690000000004|Fırın"}));
    EXPECT_EQ(count(QStringLiteral("MenuItems")), 3);
}
