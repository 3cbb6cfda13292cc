// The price list's whole round trip through toplu-ekle: the menu exported,
// edited as an operator edits it in a spreadsheet program, loaded back with
// prices updated, and undone.
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "spreadsheet/SheetFile.h"
#include "spreadsheet/write/PriceListWorkbook.h"
#include "tests/common/ProgramRun.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/TestDatabase.h"

namespace {

const QStringList kTables{"MenuItems",       "MenuItemPortions", "MenuItemPrices", "ScreenMenuCategories",
                          "ScreenMenuItems", "PrinterMaps",      "Printers",       "TaxTemplates"};

// Every row of every table as text, to compare whole databases.
QMap<QString, QStringList> everyTable(const TestDatabase &db)
{
    QMap<QString, QStringList> tables;
    for (const QString &name : kTables) {
        for (const QVariantList &row : db.rows(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(name))) {
            QStringList texts;
            for (const QVariant &value : row)
                texts << (value.isNull() ? QStringLiteral("NULL") : value.toString());
            tables[name] << texts.join(u'|');
        }
    }
    return tables;
}

// The rows of `after` that are not in `before`, table by table.
QStringList changedRows(const QMap<QString, QStringList> &before, const QMap<QString, QStringList> &after)
{
    QStringList changed;
    for (const QString &name : kTables) {
        for (const QString &row : after.value(name)) {
            if (!before.value(name).contains(row))
                changed << name + u':' + row;
        }
    }
    return changed;
}

}  // namespace

TEST(PriceRoundTrip, ExportEditThreePricesAndLoadBackChangesExactlyThoseAndUndoRestoresEveryTable)
{
    QTemporaryDir home;
    const auto run = [&home](const QStringList &arguments) {
        return runProgram(QStringLiteral(TOPLU_EKLE), home.path(), arguments);
    };
    TestDatabase db(true);
    const QStringList target{QStringLiteral("--connection"), db.connectionText(), QStringLiteral("--locale=tr_TR")};

    // Items made by this tool, with a button and a printer mapping each...
    const QString menu = writeSheet(home.path(), QStringLiteral("menu.csv"),
                                    {QStringLiteral("0086901;Çay;12,50"), QStringLiteral("0086902;Türk Kahvesi;45"),
                                     QStringLiteral("0086903;Su;5"), QStringLiteral("0086904;Ayran;15")});
    ASSERT_EQ(run(QStringList{menu, QStringLiteral("--show"), QStringLiteral("--printer=1")} + target).exitCode, 0);
    // ...and made otherwise: two portions with another price tag beside the
    // untagged price, two portions none named Normal, no barcode.
    for (const char *sql : {
             "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (20, 'Tatlı', '0086920', 'Baklava'), "
             "(30, 'Tatlı', '0086930', 'Kek'), (40, 'Tatlı', NULL, 'Lokum')",
             "INSERT INTO MenuItemPortions (id, Name, MenuItemId) VALUES (20, 'Büyük', 20), (21, 'Normal', 20), "
             "(30, 'Küçük', 30), (31, 'Büyük', 30), (40, 'Normal', 40)",
             "INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (20, NULL, 150), (21, NULL, 100), "
             "(21, 'Paket', 110), (30, NULL, 20), (31, NULL, 30), (40, NULL, 8)"})
        ASSERT_EQ(db.exec(QString::fromUtf8(sql)), QString());

    const QString exported = home.filePath(QStringLiteral("menü.xlsx"));
    const ProgramRun exportRun = run(QStringList{QStringLiteral("--export"), exported} + target.mid(0, 2));
    ASSERT_EQ(exportRun.exitCode, 0) << exportRun.err.toStdString();

    // The operator's edit: three prices, one name blanked, two new products.
    std::vector<spreadsheet::PriceRow> edited;
    for (const spreadsheet::RowCells &cells : spreadsheet::readSheet(exported, QLocale::c()).rows)
        edited.push_back({cells[0], cells[1], cells[2].toDouble(), {}});
    ASSERT_EQ(edited.size(), 5u) << "Kek (no Normal portion) and Lokum (no barcode) stay out";
    edited[0].price = 13.75;   // Çay
    edited[2].price = 5.5;     // Su
    edited[4].price = 105;     // Baklava's Normal portion
    edited[3].name.clear();    // Ayran, price kept
    edited.push_back({QStringLiteral("0086950"), QStringLiteral("Simit"), 7.5, {}});
    edited.push_back({QStringLiteral("0086951"), QStringLiteral("Poğaça"), 9, {}});
    const QString prices = home.filePath(QStringLiteral("yeni fiyatlar.xlsx"));
    ASSERT_TRUE(spreadsheet::writePriceListWorkbook(prices, edited).ok());

    const QMap<QString, QStringList> before = everyTable(db);
    const ProgramRun update =
        run(QStringList{prices, QStringLiteral("--duplicates=update"), QStringLiteral("--group=Fırın")} + target);
    EXPECT_EQ(update.exitCode, 1) << "unchanged rows count as left out";
    const QMap<QString, QStringList> after = everyTable(db);

    // Old rows of MenuItemPrices changed in place; the new items came whole.
    QStringList changed = changedRows(before, after);
    const QStringList priceChanges{"MenuItemPrices:1|1|NULL|13.75", "MenuItemPrices:3|3|NULL|5.5",
                                   "MenuItemPrices:6|21|NULL|105"};
    for (const QString &row : priceChanges)
        EXPECT_TRUE(changed.removeOne(row)) << row.toStdString();
    for (const QString &name : {QStringLiteral("Simit"), QStringLiteral("Poğaça")})
        EXPECT_EQ(changed.filter(QStringLiteral("MenuItems:")).filter(u'|' + name).size(), 1) << name.toStdString();
    EXPECT_EQ(changed.size(), 2 * 3) << changed.join(u'\n').toStdString();  // item, portion and price of each
    EXPECT_EQ(changedRows(after, before).size(), 3) << "only the three old prices are gone";

    const ProgramRun undo = run(QStringList{QStringLiteral("--undo-last")} + target.mid(0, 2));
    EXPECT_EQ(undo.exitCode, 0) << undo.err.toStdString();
    EXPECT_EQ(everyTable(db), before);
}
