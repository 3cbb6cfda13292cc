// Measures the menu export: 100,000 menu items, each with its portion and
// price as the save writes them (every tenth with a second, tagged price),
// read from a stand-in database and written to a workbook that is read back
// before it replaces the file. Prints figures; checks nothing.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>
#include <functional>

#include "BenchSupport.h"
#include "SaveWorkload.h"
#include "import/MenuExportFile.h"
#include "platform/ado/Connection.h"

namespace {

constexpr int kItems = 100000;

// Runs `sql` once per item with the values `values` gives for it.
bool insertEach(const QSqlDatabase &db, const QString &sql, const std::function<QVariantList(int)> &values)
{
    QSqlQuery insert(db);
    if (!insert.prepare(sql))
        return false;
    for (int i = 1; i <= kItems; ++i) {
        for (const QVariant &value : values(i))
            insert.addBindValue(value);
        if (!insert.exec())
            return false;
    }
    return true;
}

bool fillMenu(const QSqlDatabase &db)
{
    QSqlDatabase writable = db;
    if (!writable.transaction())
        return false;
    const bool filled =
        insertEach(db, QStringLiteral("INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (?, ?, ?, ?)"),
                   [](int i) {
                       return QVariantList{i, QStringLiteral("Grup %1").arg(i % 20), QString::number(8690000000000LL + i),
                                           QStringLiteral("Ürün %1").arg(i)};
                   }) &&
        insertEach(db, QStringLiteral("INSERT INTO MenuItemPortions (id, Name, MenuItemId) VALUES (?, 'Normal', ?)"),
                   [](int i) { return QVariantList{i, i}; }) &&
        insertEach(db, QStringLiteral("INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (?, ?, ?)"),
                   [](int i) { return QVariantList{i, QVariant(), 1 + i % 500 * 0.25}; }) &&
        insertEach(db, QStringLiteral("INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) "
                                      "SELECT ?, 'Happy', 1 WHERE ? % 10 = 0"),
                   [](int i) { return QVariantList{i, i}; });
    return filled && writable.commit();
}

double secondsSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pos.db"));
    ado::Connection connection(QStringLiteral("bench-export"));
    if (const QString error = benchwork::openStandIn(path, connection); !error.isEmpty()) {
        std::fprintf(stderr, "bench_export: %s\n", qPrintable(error));
        return 2;
    }
    if (!fillMenu(connection.database())) {
        std::fprintf(stderr, "bench_export: cannot fill the stand-in database\n");
        return 2;
    }

    const QString workbook = dir.filePath(QStringLiteral("menü.xlsx"));
    for (int run = 1; run <= 2; ++run) {
        QElapsedTimer timer;
        timer.start();
        const import::MenuExport menu = import::exportMenu(connection.database());
        const double read = secondsSince(timer);
        timer.restart();
        const import::MenuExportFile exported = import::exportMenuToFile(connection.database(), workbook);
        const double whole = secondsSince(timer);
        if (!menu.ok() || !exported.ok()) {
            std::fprintf(stderr, "bench_export: %s\n", qPrintable(import::exportMessage(exported, workbook)));
            return 1;
        }
        std::printf("run %d: %zu items read in %.3f s; read, written, read back and in place in %.3f s "
                    "(workbook %.1f MB)\n",
                    run, menu.items.size(), read, whole, double(QFileInfo(workbook).size()) / 1e6);
    }
    std::printf("peak memory %.0f MB\n", double(peakResidentBytes()) / 1e6);
    return 0;
}
