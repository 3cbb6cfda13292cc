// What a save of many rows costs in trips to the server, read from the
// save's own count of statements and the connection's count of requests: a
// server across a network pays every trip in latency.
#include "LiveServer.h"
#include "import/BulkImport.h"

namespace {

QList<import::ProductRow> numberedRows(int count)
{
    QList<import::ProductRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({QString::number(8690000000000LL + i), QStringLiteral("Urun %1").arg(i), QStringLiteral("12.5")});
    return rows;
}

}  // namespace

TEST_F(LiveServer, a_thousand_row_save_takes_a_few_round_trips_per_hundred_rows)
{
    constexpr int kRows = 1000;
    // Besides the rows' batches: the category and whatever opens and ends a save.
    constexpr int kFixedCost = 10;
    const QList<import::ProductRow> rows = numberedRows(kRows);
    const import::SaveChoices choices = everyRecord();

    const quint64 before = connection.roundTrips();
    const import::SaveResult result =
        import::BulkImport(connection.database(), connection.dialect(), {}, connection.textFidelity()).run(rows, choices);
    ASSERT_EQ(result.count(import::RowStatus::Landed), kRows) << result.rows.constFirst().error.toStdString();
    EXPECT_LE(result.statementsSent, kRows / 20 + kFixedCost);
    EXPECT_LE(connection.roundTrips() - before, quint64(kRows / 20 + kFixedCost));
    EXPECT_EQ(count(QStringLiteral("PrinterMaps")), kRows);
}

// A trigger's error dooms the whole transaction of a batch: the row it
// refused fails alone, the rows of its batch are written again, and the
// batches after it, which run the same prepared batch, still land.
TEST_F(LiveServer, a_row_that_dooms_its_batch_costs_only_itself_and_the_later_batches_land)
{
    ASSERT_EQ(exec(QStringLiteral("CREATE TRIGGER MenuItemPrices_refuse ON MenuItemPrices AFTER INSERT AS "
                                  "IF EXISTS (SELECT 1 FROM inserted WHERE Price > 1000) "
                                  "THROW 50002, N'fiyat çok yüksek', 1;")), QString());
    QList<import::ProductRow> products = numberedRows(600);
    products[2].price = QStringLiteral("5000");
    const import::SaveResult result =
        import::BulkImport(connection.database(), connection.dialect(), {}, connection.textFidelity())
            .run(products, everyRecord());
    ASSERT_EQ(result.visitedRows(), 600);
    EXPECT_EQ(result.count(import::RowStatus::Landed), 599);
    EXPECT_EQ(result.rows[2].status, import::RowStatus::Failed);
    EXPECT_EQ(result.rows[2].failedTable, "MenuItemPrices");
    EXPECT_TRUE(result.rows[2].error.contains(QStringLiteral("fiyat çok yüksek"))) << result.rows[2].error.toStdString();
    EXPECT_EQ(count(QStringLiteral("MenuItems")), 599);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM ScreenMenuCategories WHERE Name = N'Toplu'")),
              QList<QVariantList>{QVariantList{1}});
}
