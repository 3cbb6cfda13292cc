// The point-of-sale database when it cannot take rows: held by another
// program's write lock, or full. Nothing may be half-written, and every row
// that did not land says why.
#include <QTemporaryDir>

#include "tests/common/Outcomes.h"
#include "SaveFixture.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "import/LookupLists.h"

using import::RowOutcome;
using import::RowStatus;
using import::SaveResult;

namespace {

QList<import::ProductRow> products(int count)
{
    QList<import::ProductRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({QString::number(8690000000000LL + i), QStringLiteral("Ürün %1").arg(i), QStringLiteral("10")});
    return rows;
}

// The ids of the items that landed, by the save's own account.
QSet<qint64> landedItems(const SaveResult &result)
{
    QSet<qint64> items;
    for (const RowOutcome &row : result.rows) {
        if (row.status == RowStatus::Landed)
            items.insert(row.itemId);
    }
    return items;
}

}  // namespace

class DatabaseFault : public SaveTest {
protected:
    QSet<qint64> itemsInDatabase() const
    {
        QSet<qint64> items;
        for (const QVariantList &row : pos.rows(QStringLiteral("SELECT id FROM MenuItems")))
            items.insert(row.value(0).toLongLong());
        return items;
    }

    // Every item has exactly its portion, price, button and mapping.
    void expectWholeProducts() const
    {
        for (const char *table : {"MenuItemPortions", "MenuItemPrices", "ScreenMenuItems", "PrinterMaps"})
            EXPECT_EQ(pos.count(QString::fromLatin1(table)), pos.count(QStringLiteral("MenuItems"))) << table;
    }
};

TEST_F(DatabaseFault, a_lock_held_past_the_busy_timeout_fails_every_row_with_a_reason_and_the_next_save_lands)
{
    // The point-of-sale application in the middle of writing a ticket.
    const std::unique_ptr<TestDatabase> holder = TestDatabase::existing(pos.path());
    ASSERT_EQ(holder->exec(QStringLiteral("BEGIN IMMEDIATE")), QString());

    // A connection opened now, as at start-up, still reads the lists: a
    // writer does not block readers.
    const std::unique_ptr<TestDatabase> startUp = TestDatabase::existing(pos.path());
    const import::lookup::ReadResult printers = import::lookup::readRecords(startUp->connection.database(), import::lookup::printers().sql);
    EXPECT_EQ(printers.value.size(), 3u) << printers.text().toStdString();
    const import::lookup::ReadResult ownPrinters = import::lookup::readRecords(pos.connection.database(), import::lookup::printers().sql);
    EXPECT_EQ(ownPrinters.value.size(), 3u) << ownPrinters.text().toStdString();

    const SaveResult locked = save(products(3), everything());
    ASSERT_EQ(locked.rows.size(), 3);
    EXPECT_TRUE(locked.rows[0].error.contains(QStringLiteral("locked"))) << locked.rows[0].error.toStdString();
    for (const RowOutcome &row : locked.rows) {
        EXPECT_EQ(row.status, RowStatus::Failed);
        EXPECT_TRUE(row.error.contains(QStringLiteral("locked"))) << row.error.toStdString();
    }
    EXPECT_TRUE(locked.rows[2].error.startsWith(QStringLiteral("denenmedi: "))) << locked.rows[2].error.toStdString();

    ASSERT_EQ(holder->exec(QStringLiteral("ROLLBACK")), QString());
    EXPECT_EQ(pos.count("MenuItems"), 0);
    const SaveResult after = save(products(3), everything());
    EXPECT_EQ(after.count(RowStatus::Landed), 3);
    expectWholeProducts();
}

TEST_F(DatabaseFault, a_full_database_keeps_the_rows_before_it_whole_and_fails_the_rest_with_the_journal_agreeing)
{
    const qint64 pages = pos.value(QStringLiteral("PRAGMA page_count")).toLongLong();
    ASSERT_FALSE(pos.value(QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 40)).isNull());
    QTemporaryDir journals;
    const std::unique_ptr<import::ImportJournal> journal = valueOf(import::ImportJournal::create(
        journals.path(), {pos.connection.identity(), QString(), QDateTime::currentDateTimeUtc()}));
    ASSERT_TRUE(journal);

    const SaveResult result = import::BulkImport(pos.connection.database(), pos.connection.dialect())
                                  .run(products(3000), everything(), {}, {}, journal.get());

    const QSet<qint64> landed = landedItems(result);
    ASSERT_FALSE(landed.isEmpty());
    ASSERT_LT(landed.size(), 3000);
    EXPECT_EQ(itemsInDatabase(), landed);
    expectWholeProducts();
    // From the first row that failed on, every row failed and says why.
    const auto firstFailed = std::find_if(result.rows.cbegin(), result.rows.cend(),
                                          [](const RowOutcome &row) { return row.status == RowStatus::Failed; });
    for (auto row = firstFailed; row != result.rows.cend(); ++row) {
        ASSERT_EQ(row->status, RowStatus::Failed) << row->gridRow;
        EXPECT_TRUE(row->error.contains(QStringLiteral("full"))) << row->error.toStdString();
    }
    EXPECT_EQ(result.rows.size(), 3000);

    const import::LandedRecords journaled =
        import::landedRecords(pos.connection.database(), import::readJournal(journal->path()));
    QSet<qint64> journaledItems;
    for (const import::JournalRow &row : journaled.rows)
        journaledItems.insert(row.itemId);
    EXPECT_EQ(journaledItems, landed);
}
