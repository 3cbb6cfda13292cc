// What a save of many rows costs in trips to the server, read from the
// save's own count of statements and the connection's count of requests: a
// server across a network pays every trip in latency.
#include "LiveServer.h"
#include "import/BulkImport.h"

TEST_F(LiveServer, AThousandRowSaveTakesAFewRoundTripsPerHundredRows)
{
    constexpr int kRows = 1000;
    // Besides the rows' batches: the category and whatever opens and ends a save.
    constexpr int kFixedCost = 10;
    QList<bulksave::ProductRow> rows;
    for (int i = 1; i <= kRows; ++i)
        rows.append({QString::number(8690000000000LL + i), QStringLiteral("Urun %1").arg(i), QStringLiteral("12.5")});
    bulksave::SaveChoices choices;
    choices.group = QStringLiteral("Toplu");
    choices.showOnSalesScreen = true;
    choices.printerPosition = 1;
    choices.printerId = QStringLiteral("1");
    choices.locale = QLocale::c();

    const quint64 before = connection.roundTrips();
    const bulksave::SaveResult result =
        bulksave::BulkImport(connection.database(), connection.dialect(), {}, connection.textFidelity()).run(rows, choices);
    ASSERT_EQ(result.count(bulksave::RowStatus::Landed), kRows) << result.rows.constFirst().error.toStdString();
    EXPECT_LE(result.statementsSent, kRows / 20 + kFixedCost);
    EXPECT_LE(connection.roundTrips() - before, quint64(kRows / 20 + kFixedCost));
    EXPECT_EQ(count(QStringLiteral("PrinterMaps")), kRows);
}
