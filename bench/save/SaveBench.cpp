// Measures the bulk save: 10,000 products with a screen-menu button and a
// printer mapping each, written to a fresh stand-in SQLite database opened
// as the program opens it (WAL, synchronous FULL, foreign keys on), and again
// with synchronous turned down to NORMAL, so the price of a durable commit per
// batch shows beside it. Prints rows per second for a few runs of each,
// without a window and, beside it, with the window's own pacing of the
// counter and the progress dialog (offscreen unless -platform says
// otherwise), with the longest time the counter went unrepainted and the
// statements the save sent per row; and the same products as a menu whose
// rows name their own groups, a thousand new ones, without a window. Checks
// nothing. The figure per processor second
// (std::clock, which is elapsed time on Windows) stays readable on a machine
// busy with other work, but leaves out the time spent waiting for the disk.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>

#include "SaveWorkload.h"
#include "db/StandInDatabase.h"
#include "platform/ado/Connection.h"
#include "import/BulkImport.h"
#include "window/SavePacing.h"

namespace {

constexpr int kRows = 10000;
// Other work on the machine scatters single runs widely; the best of many
// compares what the save itself costs.
constexpr int kRuns = 10;

struct Rate {
    double wall = -1;  // rows per second of elapsed time
    double cpu = -1;   // rows per second of this process's processor time
    qint64 longestGapMs = 0;  // windowed: the longest time the counter went unpainted
    double statementsPerRow = 0;  // statements the save sent, per row
};

// The synchronous setting a run saves under.
enum class Sync { Full, Normal };

// Raises `best` to the figures of `run` where they are higher.
void keepBest(Rate &best, const Rate &run)
{
    best.wall = std::max(best.wall, run.wall);
    best.cpu = std::max(best.cpu, run.cpu);
}

const char *syncName(Sync sync)
{
    return sync == Sync::Normal ? "NORMAL" : "FULL";
}

// The window a windowed run paints: its counter, and when it last painted.
class CounterWindow : public QObject {
public:
    CounterWindow() : m_counter(QStringLiteral("0"), &m_window)
    {
        m_window.resize(400, 100);
        m_counter.resize(111, 39);
        m_window.show();
        m_counter.installEventFilter(this);
    }

    QWidget *window() { return &m_window; }
    QLabel *counter() { return &m_counter; }

    // Starts a new save: the gap is measured from now.
    void start()
    {
        m_clock.start();
        m_lastPaint = 0;
        m_longestGap = 0;
    }
    // The longest time without a paint of the counter, up to now.
    qint64 longestGapMs() const { return std::max(m_longestGap, m_clock.elapsed() - m_lastPaint); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_counter && event->type() == QEvent::Paint && m_clock.isValid()) {
            const qint64 now = m_clock.elapsed();
            m_longestGap = std::max(m_longestGap, now - m_lastPaint);
            m_lastPaint = now;
        }
        return false;
    }

private:
    QWidget m_window;
    QLabel m_counter;
    QElapsedTimer m_clock;
    qint64 m_lastPaint = 0;
    qint64 m_longestGap = 0;
};

// Returns the rates, or negative ones when the database failed. With a
// window, the save is paced exactly as the window paces it.
Rate oneRun(const QString &path, Sync sync, const QList<import::ProductRow> &rows,
            const import::SaveChoices &choices, CounterWindow *window)
{
    const QString error = posdb::createStandInDatabase(path, true);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "stand-in database: %s\n", qPrintable(error));
        return {};
    }
    ado::Connection connection(QStringLiteral("bench-save"));
    connection.setConnectionString(QStringLiteral("Provider=SQLOLEDB.1; Data Source=") + path);
    if (!connection.open()) {
        std::fprintf(stderr, "open: %s\n", qPrintable(connection.lastOpen().text()));
        return {};
    }
    if (sync == Sync::Normal && !connection.newQuery().exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) {
        std::fprintf(stderr, "PRAGMA synchronous=NORMAL failed\n");
        return {};
    }

    int visited = 0;
    std::optional<SavePacing> pacing;
    if (window) {
        window->start();
        pacing.emplace(window->window(), window->counter(), int(rows.size()));
    }
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    const import::SaveResult result =
        import::BulkImport(connection.database(), connection.dialect())
            .run(rows, choices, [&visited, &pacing](int n) {
                visited = n;
                return !pacing || pacing->rowVisited(n);
            });
    const qint64 nanoseconds = timer.nsecsElapsed();
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const int landed = result.count(import::RowStatus::Landed);
    if (landed != kRows) {
        std::fprintf(stderr, "only %d of %d rows landed\n", landed, kRows);
        return {};
    }
    return Rate{visited / (double(nanoseconds) / 1e9), visited / cpuSeconds, window ? window->longestGapMs() : 0,
                double(result.statementsSent) / visited};
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
    const import::SaveChoices choices = benchwork::choices(turkish);
    const QList<import::ProductRow> rows = benchwork::products(kRows, turkish);
    // Every row in one of a thousand groups the database lacks.
    QList<import::ProductRow> menu = rows;
    for (qsizetype row = 0; row < menu.size(); ++row)
        menu[row].group = QStringLiteral("Grup %1").arg(row % 1000);

    CounterWindow window;
    QTemporaryDir dir;
    int file = 0;
    const auto nextPath = [&dir, &file] { return dir.filePath(QStringLiteral("pos%1.sqlite").arg(++file)); };
    struct Best {
        Rate bare{0, 0};
        Rate windowed{0, 0};
        Rate ownGroups{0, 0};
    };
    Best best[2];
    for (int run = 1; run <= kRuns; ++run) {
        for (const Sync sync : {Sync::Normal, Sync::Full}) {
            const Rate bare = oneRun(nextPath(), sync, rows, choices, nullptr);
            const Rate windowed = oneRun(nextPath(), sync, rows, choices, &window);
            const Rate ownGroups = oneRun(nextPath(), sync, menu, choices, nullptr);
            if (bare.wall < 0 || windowed.wall < 0 || ownGroups.wall < 0)
                return 1;
            Best &b = best[sync == Sync::Normal ? 0 : 1];
            keepBest(b.bare, bare);
            keepBest(b.windowed, windowed);
            keepBest(b.ownGroups, ownGroups);
            std::printf("save run %d, synchronous %-6s: %d rows with button and printer mapping: "
                        "no window %.0f rows/s (%.0f per processor second), "
                        "window %.0f rows/s (%.0f per processor second) = %.1f%%, "
                        "longest unrepainted %lld ms, %.2f statements per row; "
                        "own groups %.0f rows/s, %.2f statements per row\n",
                        run, syncName(sync), kRows, bare.wall, bare.cpu, windowed.wall,
                        windowed.cpu, 100.0 * windowed.wall / bare.wall, static_cast<long long>(windowed.longestGapMs),
                        bare.statementsPerRow, ownGroups.wall, ownGroups.statementsPerRow);
        }
    }
    for (const Sync sync : {Sync::Normal, Sync::Full}) {
        const Best &b = best[sync == Sync::Normal ? 0 : 1];
        std::printf("best of %d, synchronous %-6s: no window %.0f rows/s (%.0f per processor second), "
                    "window %.0f rows/s (%.0f per processor second) = %.1f%% (%.1f%% per processor second); "
                    "own groups %.0f rows/s (%.0f per processor second)\n",
                    kRuns, syncName(sync), b.bare.wall, b.bare.cpu, b.windowed.wall, b.windowed.cpu,
                    100.0 * b.windowed.wall / b.bare.wall, 100.0 * b.windowed.cpu / b.bare.cpu, b.ownGroups.wall,
                    b.ownGroups.cpu);
    }
    return 0;
}
