// Measures the import preview: a 65,535-row grid judged against a stand-in
// database holding 100,000 menu items (half of the grid's barcodes among
// them), as the window does after a load, and again after one edited row.
// Prints figures; checks nothing.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>

#include "SaveWorkload.h"
#include "import/BarcodeLookup.h"
#include "import/RowPreview.h"
#include "platform/ado/Connection.h"

namespace {

constexpr int kItems = 100000;
constexpr int kGridRows = 65535;

QString barcode(int n)
{
    return QString::number(8690000000000LL + n);
}

bool fillItems(const QSqlDatabase &db)
{
    QSqlDatabase writable = db;
    if (!writable.transaction())
        return false;
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, Name) VALUES ('G', ?, ?)"));
    // Items hold the even numbers: every other grid barcode is taken.
    for (int i = 0; i < kItems; ++i) {
        insert.addBindValue(barcode(2 * i));
        insert.addBindValue(QStringLiteral("Kayıtlı %1").arg(i));
        if (!insert.exec())
            return false;
    }
    return writable.commit();
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pos.db"));
    ado::Connection connection(QStringLiteral("bench-preview"));
    if (const QString error = benchwork::openStandIn(path, connection); !error.isEmpty()) {
        std::fprintf(stderr, "bench_preview: %s\n", qPrintable(error));
        return 2;
    }
    if (!fillItems(connection.database())) {
        std::fprintf(stderr, "bench_preview: cannot fill the stand-in database\n");
        return 2;
    }

    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    QList<import::ProductRow> rows;
    for (int i = 0; i < kGridRows; ++i)
        rows.append({barcode(i), QStringLiteral("Ürün %1").arg(i), turkish.toString(1 + i % 500 * 0.25, 'f', 2)});
    import::SaveChoices choices;
    choices.group = QStringLiteral("Kahveler");
    choices.locale = turkish;

    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        // As the window does: judge, ask about the barcodes found, mark the taken ones.
        import::GridVerdicts verdicts(choices, {}, connection.textFidelity());
        verdicts.judgeAll(rows);
        const double judged = msSince(timer);
        verdicts.addExisting(import::findExistingBarcodes(connection.database(), verdicts.barcodes()).items);
        const double whole = msSince(timer);
        const double lookup = whole - judged;

        // One operator edit: a new barcode on row 1000, looked up alone, and
        // that row judged again with the rows that share a barcode with it.
        rows[999].barcode = barcode(kGridRows + 10 + run);
        QElapsedTimer edit;
        edit.start();
        verdicts.addExisting(import::findExistingBarcodes(connection.database(), {rows[999].barcode}).items);
        verdicts.judgeRow(1000, rows[999]);
        const double editMs = msSince(edit);
        std::printf("run %d: preview of %d rows against %d items %.1f ms (look-up %.1f ms, %d taken); "
                    "one edit %.3f ms\n",
                    run + 1, kGridRows, kItems, whole, lookup,
                    import::countFate(verdicts.previews(), import::RowFate::InDatabase), editMs);
    }
    return 0;
}
