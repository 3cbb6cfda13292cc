#include "SaveFixture.h"

#include "spreadsheet/SheetFile.h"
#include "import/SaveText.h"

using import::ProductRow;
using import::RowStatus;

// The sample workbook of the README, loaded as the grid loads it and saved
// with every option on: each product row becomes one complete menu item.
TEST_F(SaveTest, the_whole_sample_workbook_lands)
{
    const QString path = QStringLiteral(SAMPLE_WORKBOOK);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(path, turkish);
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();

    QList<ProductRow> rows;
    QStringList expected;
    for (const auto &cells : sheet.rows) {
        rows << ProductRow{cells[0], cells[1], cells[2]};
        const auto price = import::localeNumber(cells[2], turkish);
        const QString name = import::trimSpaces(cells[1]);
        if (!name.isEmpty() && price)
            expected << import::cutTo50(name) + u'|' + QString::number(*price);
    }
    ASSERT_EQ(expected.size(), 40);
    EXPECT_EQ(expected.first(), "Mercimek Çorbası|45.5");
    EXPECT_EQ(expected.last(), "Sahlep|48.75");

    const import::SaveResult result = save(rows, everything());

    EXPECT_EQ(result.visitedRows(), rows.size());
    EXPECT_EQ(result.count(RowStatus::Failed), 0);
    EXPECT_EQ(result.count(RowStatus::Landed), expected.size());
    EXPECT_EQ(table("SELECT i.Name, p.Price FROM MenuItems i JOIN MenuItemPortions o ON o.MenuItemId = i.id "
                    "JOIN MenuItemPrices p ON p.MenuItemPortionId = o.id JOIN ScreenMenuItems s ON "
                    "s.MenuItemId = i.id JOIN PrinterMaps m ON m.MenuItemId = i.id ORDER BY i.id"),
              expected);
    EXPECT_EQ(pos.value("SELECT COUNT(*) FROM MenuItems WHERE length(Barcode) = 13 AND Barcode NOT GLOB '*[^0-9]*'")
                  .toInt(),
              40);
}
