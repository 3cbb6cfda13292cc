// Measures what the batch front end adds to a save: 10,000 products with a
// screen-menu button and a printer mapping each, written into a fresh
// stand-in database by the engine in this process (journaled, as every save is), and by the whole
// toplu-ekle program (reading the CSV file, judging the rows, looking up the
// barcodes, writing the report) on the same data, side by side in each run.
// Prints rows per second: the engine's save, the program's save as its JSON
// report gives it (the same work with the front end's progress callback), and
// the whole program process from start to exit, then the best of the runs;
// checks nothing.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include "SaveWorkload.h"
#include "db/StandInDatabase.h"
#include "import/BulkImport.h"
#include "import/ImportJournal.h"
#include "platform/ado/Connection.h"

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 5;

bool writeCsv(const QString &path, const QList<import::ProductRow> &rows)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const import::ProductRow &row : rows)
        file.write((row.barcode + u';' + row.name + QStringLiteral(";\"") + row.price + QStringLiteral("\"\r\n")).toUtf8());
    return true;
}

// Rows per second of the engine's save, journaled in `journals` as every
// save of the window and the program is, or -1 when it failed.
double engineRate(const QString &path, const QString &journals, const QList<import::ProductRow> &rows,
                  const import::SaveChoices &choices)
{
    ado::Connection connection(QStringLiteral("bench-batch"));
    connection.setConnectionString(QStringLiteral("Data Source=") + path);
    if (!connection.open())
        return -1;
    const std::unique_ptr<import::ImportJournal> journal =
        import::ImportJournal::create(journals, {connection.identity(), QString(), QDateTime::currentDateTimeUtc()}).value;
    if (!journal)
        return -1;
    QElapsedTimer timer;
    timer.start();
    const import::SaveResult result =
        import::BulkImport(connection.database(), connection.dialect()).run(rows, choices, {}, {}, journal.get());
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    return result.count(import::RowStatus::Landed) == kRows ? kRows / seconds : -1;
}

struct ProgramRates {
    double save = -1;     // the save inside the program, by its own report
    double process = -1;  // the whole process
};

// The program's rates; negative ones when it failed.
ProgramRates programRates(const QString &path, const QString &csv, const QString &report)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(TOPLU_EKLE),
                  {csv, QStringLiteral("--group"), QStringLiteral("Toplu Ürünler"), QStringLiteral("--show"),
                   QStringLiteral("--printer"), QStringLiteral("1"), QStringLiteral("--locale"), QStringLiteral("tr_TR"),
                   QStringLiteral("--json"), QStringLiteral("--report"), report, QStringLiteral("--connection"),
                   QStringLiteral("Data Source=") + path});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "toplu-ekle: exit %d: %s\n", process.exitCode(), process.readAllStandardError().constData());
        return {};
    }
    const double processRate = kRows / (double(timer.nsecsElapsed()) / 1e9);
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonValue target = QJsonDocument::fromJson(file.readAll())[QStringLiteral("targets")][0];
    return {target[QStringLiteral("rowsPerSecond")].toDouble(-1), processRate};
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const import::SaveChoices choices = benchwork::choices(turkish);
    const QList<import::ProductRow> rows = benchwork::products(kRows, turkish);

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("urunler.csv"));
    if (!writeCsv(csv, rows))
        return 1;
    int file = 0;
    const auto freshDatabase = [&dir, &file] {
        const QString path = dir.filePath(QStringLiteral("pos%1.db").arg(++file));
        const QString error = posdb::createStandInDatabase(path, true);
        if (!error.isEmpty())
            std::fprintf(stderr, "stand-in database: %s\n", qPrintable(error));
        return error.isEmpty() ? path : QString();
    };
    double bestEngine = 0;
    ProgramRates best{0, 0};
    for (int run = 1; run <= kRuns; ++run) {
        const QString engineDb = freshDatabase();
        const QString programDb = freshDatabase();
        if (engineDb.isEmpty() || programDb.isEmpty())
            return 1;
        const double engine = engineRate(engineDb, dir.filePath(QStringLiteral("journal")), rows, choices);
        const ProgramRates program = programRates(programDb, csv, dir.filePath(QStringLiteral("rapor.json")));
        if (engine < 0 || program.save < 0 || program.process < 0)
            return 1;
        std::printf("run %d, %d rows with button and printer mapping: engine %.0f rows/s; toplu-ekle save %.0f rows/s "
                    "= %.1f%% of the engine, whole process %.0f rows/s = %.1f%%\n",
                    run, kRows, engine, program.save, 100.0 * program.save / engine, program.process,
                    100.0 * program.process / engine);
        bestEngine = std::max(bestEngine, engine);
        best.save = std::max(best.save, program.save);
        best.process = std::max(best.process, program.process);
    }
    std::printf("best of %d: engine %.0f rows/s; toplu-ekle save %.0f rows/s = %.1f%% of the engine, "
                "whole process %.0f rows/s = %.1f%%\n",
                kRuns, bestEngine, best.save, 100.0 * best.save / bestEngine, best.process,
                100.0 * best.process / bestEngine);
    return 0;
}
