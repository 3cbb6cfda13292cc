// Measures the bulk save: 10,000 products with a screen-menu button and a
// printer mapping each, written to a fresh stand-in SQLite database opened
// as the program opens it (WAL, synchronous FULL, foreign keys on), and again
// with synchronous turned down to NORMAL, so the price of a durable commit per
// batch shows beside it. Prints rows per second for a few runs of each,
// without a window and with a counter label that is set, repainted and given
// two event-loop passes per row as the window does (offscreen unless
// -platform says otherwise); checks nothing. The figure per processor second
// (std::clock, which is elapsed time on Windows) stays readable on a machine
// busy with other work, but leaves out the time spent waiting for the disk.

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

#include "SaveWorkload.h"
#include "db/StandInDatabase.h"
#include "platform/ado/Connection.h"
#include "import/BulkImport.h"

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 3;

struct Rate {
    double wall = -1;  // rows per second of elapsed time
    double cpu = -1;   // rows per second of this process's processor time
};

// The synchronous setting a run saves under.
enum class Sync { Full, Normal };

// Returns the rates, or negative ones when the database failed.
Rate oneRun(const QString &path, Sync sync, const QList<bulksave::ProductRow> &rows,
            const bulksave::SaveChoices &choices, QLabel *counter)
{
    const QString error = posdb::createStandInDatabase(path, true);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "stand-in database: %s\n", qPrintable(error));
        return {};
    }
    ado::Connection connection(QStringLiteral("bench-save"));
    connection.setConnectionString(QStringLiteral("Provider=SQLOLEDB.1; Data Source=") + path);
    if (!connection.open()) {
        std::fprintf(stderr, "open: %s\n", qPrintable(connection.lastError()));
        return {};
    }
    if (sync == Sync::Normal && !connection.newQuery().exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) {
        std::fprintf(stderr, "PRAGMA synchronous=NORMAL failed\n");
        return {};
    }

    int visited = 0;
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    const bulksave::SaveResult result =
        bulksave::BulkImport(connection.database(), connection.dialect())
            .run(rows, choices, [&visited, counter](int n) {
                visited = n;
                if (counter) {
                    QCoreApplication::processEvents();
                    counter->setText(QString::number(n));
                    counter->repaint();
                    QCoreApplication::processEvents();
                }
                return true;
            });
    const qint64 nanoseconds = timer.nsecsElapsed();
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const int landed = result.count(bulksave::RowStatus::Landed);
    if (landed != kRows) {
        std::fprintf(stderr, "only %d of %d rows landed\n", landed, kRows);
        return {};
    }
    return Rate{visited / (double(nanoseconds) / 1e9), visited / cpuSeconds};
}

}  // namespace

int main(int argc, char **argv)
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << argv[i];
    if (!arguments.contains("-platform"))
        arguments << "-platform" << "offscreen";
    QList<char *> pointers;
    for (QByteArray &argument : arguments)
        pointers << argument.data();
    int count = int(pointers.size());
    QApplication app(count, pointers.data());

    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const bulksave::SaveChoices choices = benchwork::choices(turkish);
    const QList<bulksave::ProductRow> rows = benchwork::products(kRows, turkish);

    QLabel counter(QStringLiteral("0"));
    counter.resize(111, 39);
    counter.show();
    QTemporaryDir dir;
    int file = 0;
    const auto nextPath = [&dir, &file] { return dir.filePath(QStringLiteral("pos%1.sqlite").arg(++file)); };
    for (QLabel *label : {static_cast<QLabel *>(nullptr), &counter}) {
        for (int run = 1; run <= kRuns; ++run) {
            const Rate normal = oneRun(nextPath(), Sync::Normal, rows, choices, label);
            const Rate full = oneRun(nextPath(), Sync::Full, rows, choices, label);
            if (normal.wall < 0 || full.wall < 0)
                return 1;
            std::printf("save run %d, %s: %d rows with button and printer mapping: "
                        "synchronous NORMAL %.0f rows/s (%.0f per processor second), "
                        "FULL %.0f rows/s (%.0f per processor second)\n",
                        run, label ? "counter repainted per row" : "no window", kRows, normal.wall, normal.cpu,
                        full.wall, full.cpu);
        }
    }
    return 0;
}
