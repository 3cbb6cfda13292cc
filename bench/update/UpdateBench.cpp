// Measures new prices for items already on the menu against adding them:
// 10,000 products are added to a fresh stand-in database (button and printer
// mapping each, as the save benchmark adds them), then a 10,000-row file
// with a new price for every one of them is judged and saved with prices
// updated. Prints, per run and as the best of all runs, the rows per second
// of the add and of the update (the save alone, and with the barcode look-up
// and the judging before it); checks nothing.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include "SaveWorkload.h"
#include "import/BarcodeLookup.h"
#include "import/BulkImport.h"
#include "platform/ado/Connection.h"

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 5;

struct Rates {
    double add = -1;            // rows per second, adding new items
    double update = -1;         // rows per second, the update's save
    double updateWithLook = -1; // rows per second, look-up, judging and save
};

double perSecond(int rows, const QElapsedTimer &timer)
{
    return rows / (double(timer.nsecsElapsed()) / 1e9);
}

Rates oneRun(const QString &path, const QList<import::ProductRow> &rows, const QList<import::ProductRow> &newPrices,
             const import::SaveChoices &choices)
{
    ado::Connection connection(QStringLiteral("bench-update"));
    if (const QString error = benchwork::openStandIn(path, connection); !error.isEmpty()) {
        std::fprintf(stderr, "stand-in database: %s\n", qPrintable(error));
        return {};
    }
    import::BulkImport save(connection.database(), connection.dialect());
    Rates rates;
    QElapsedTimer timer;
    timer.start();
    if (save.run(rows, choices).count(import::RowStatus::Landed) != kRows) {
        std::fprintf(stderr, "the add did not land every row\n");
        return {};
    }
    rates.add = perSecond(kRows, timer);

    import::SaveChoices updating = choices;
    updating.updatePrices = true;
    timer.start();
    import::GridVerdicts verdicts(updating, {}, connection.textFidelity());
    verdicts.judgeAll(newPrices);
    verdicts.addExisting(import::findExistingBarcodes(connection.database(), verdicts.barcodes()).items);
    const import::SavePlan plan = import::updatePlan(verdicts.previews());
    QElapsedTimer saveTimer;
    saveTimer.start();
    const int updated = save.run(newPrices, updating, {}, plan).count(import::RowStatus::Updated);
    rates.update = perSecond(kRows, saveTimer);
    rates.updateWithLook = perSecond(kRows, timer);
    if (updated != kRows) {
        std::fprintf(stderr, "only %d of %d prices were updated\n", updated, kRows);
        return {};
    }
    return rates;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const import::SaveChoices choices = benchwork::choices(turkish);
    const QList<import::ProductRow> rows = benchwork::products(kRows, turkish);
    QList<import::ProductRow> newPrices = rows;
    for (import::ProductRow &row : newPrices)
        row.price = turkish.toString(turkish.toDouble(row.price) + 1.25, 'f', 2);

    QTemporaryDir dir;
    Rates best;
    for (int run = 1; run <= kRuns; ++run) {
        const Rates rates = oneRun(dir.filePath(QStringLiteral("pos%1.sqlite").arg(run)), rows, newPrices, choices);
        if (rates.add < 0)
            return 1;
        std::printf("run %d: add %.0f rows/s, update %.0f rows/s (%.0f rows/s with the look-up and judging) = %.0f%% of the add\n",
                    run, rates.add, rates.update, rates.updateWithLook, 100.0 * rates.updateWithLook / rates.add);
        best.add = std::max(best.add, rates.add);
        best.update = std::max(best.update, rates.update);
        best.updateWithLook = std::max(best.updateWithLook, rates.updateWithLook);
    }
    std::printf("best of %d, %d rows: add %.0f rows/s, update %.0f rows/s (%.0f rows/s with the look-up and judging) = %.0f%% of the add\n",
                kRuns, kRows, best.add, best.update, best.updateWithLook, 100.0 * best.updateWithLook / best.add);
    return 0;
}
