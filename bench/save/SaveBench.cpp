// Measures the bulk save: 10,000 products with a screen-menu button and a
// printer mapping each, written to a fresh stand-in SQLite database opened
// as the program opens it (WAL, synchronous NORMAL, foreign keys on).
// Prints rows per second for a few runs; checks nothing.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

#include "db/StandInDatabase.h"
#include "window/BulkImport.h"

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 3;

QList<bulksave::ProductRow> products(const QLocale &locale)
{
    QList<bulksave::ProductRow> rows;
    rows.reserve(kRows);
    for (int i = 1; i <= kRows; ++i)
        rows.append({QString::number(8690000000000LL + i), QStringLiteral("Ürün %1").arg(i),
                     locale.toString(i * 0.25 + 1, 'f', 2)});
    return rows;
}

// Returns rows per second, or a negative number when the database failed.
double oneRun(const QString &path, const QList<bulksave::ProductRow> &rows, const bulksave::SaveChoices &choices)
{
    const QString error = posdb::createStandInDatabase(path, true);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "stand-in database: %s\n", qPrintable(error));
        return -1;
    }
    const QString name = QStringLiteral("bench-save");
    double rate = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            std::fprintf(stderr, "open: %s\n", qPrintable(db.lastError().text()));
        } else {
            QSqlQuery pragma(db);
            pragma.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
            pragma.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
            pragma.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));

            int visited = 0;
            QElapsedTimer timer;
            timer.start();
            const bulksave::SaveResult result =
                bulksave::BulkImport(db, ado::Dialect::Sqlite).run(rows, choices, [&visited](int n) {
                    visited = n;
                    return true;
                });
            const qint64 nanoseconds = timer.nsecsElapsed();
            const int landed = result.count(bulksave::RowStatus::Landed);
            if (landed != kRows)
                std::fprintf(stderr, "only %d of %d rows landed\n", landed, kRows);
            else
                rate = visited / (double(nanoseconds) / 1e9);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rate;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    bulksave::SaveChoices choices;
    choices.group = QStringLiteral("Toplu Ürünler");
    choices.showOnSalesScreen = true;
    choices.printerPosition = 1;
    choices.printerId = QStringLiteral("1");
    choices.buttonColor = QStringLiteral("#FF0000FF");
    choices.locale = turkish;
    const QList<bulksave::ProductRow> rows = products(turkish);

    QTemporaryDir dir;
    for (int run = 1; run <= kRuns; ++run) {
        const double rate = oneRun(dir.filePath(QStringLiteral("pos%1.sqlite").arg(run)), rows, choices);
        if (rate < 0)
            return 1;
        std::printf("save run %d: %d rows with button and printer mapping, %.0f rows/s\n", run, kRows, rate);
    }
    return 0;
}
