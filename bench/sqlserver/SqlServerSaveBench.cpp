// Measures the bulk save against the SQL Server TOPLU_SQLSERVER names,
// through a loopback relay that holds each answer of the server back by 0, 1
// and 10 ms: a server on this machine, one across a LAN, one across a city.
// Prints rows per second, round trips per row (requests the relay saw the
// program send, and those the connection counted) and the statements per
// row the save counted itself, for 1,000 rows added, the same 1,000 items
// given new prices, and 1,000 more rows each in a group of its own among 50
// new ones, into scratch tables it makes and drops; checks nothing. Without TOPLU_SQLSERVER it says so and does nothing.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QThread>
#include <QUuid>

#include <cstdio>
#include <utility>

#include "DelayRelay.h"
#include "SaveWorkload.h"
#include "db/SqlServerScratch.h"
#include "import/BarcodeLookup.h"
#include "import/BulkImport.h"
#include "import/RowPreview.h"
#include "platform/ado/Connection.h"
#include "platform/ado/OleDbText.h"

namespace {

constexpr int kRows = 1000;
constexpr int kDelaysMs[] = {0, 1, 10};
constexpr int kOwnGroups = 50;

// The relay on a thread of its own: the save blocks the thread it runs on.
class RelayThread {
public:
    RelayThread(const QString &host, quint16 port) : m_relay(new DelayRelay(host, port, 0))
    {
        m_relay->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_relay, &QObject::deleteLater);
        m_thread.start();
    }
    ~RelayThread()
    {
        m_thread.quit();
        m_thread.wait();
    }

    bool listen()
    {
        bool ok = false;
        QMetaObject::invokeMethod(m_relay, [this, &ok] { ok = m_relay->listen(0); }, Qt::BlockingQueuedConnection);
        return ok;
    }
    DelayRelay &relay() { return *m_relay; }

private:
    QThread m_thread;
    DelayRelay *m_relay;
};

enum class Kind { Adds, Updates, OwnGroups };

struct Figures {
    int landed = 0;
    double seconds = 0;
    quint64 requests = 0;
    int statements = 0;        // as the save counts them
    quint64 driverTrips = 0;   // as the connection counts them
};

// The plan of a save with prices updated, as the preview makes it.
import::SavePlan pricePlan(ado::Connection &connection, const QList<import::ProductRow> &rows,
                             const import::SaveChoices &choices, QString &error)
{
    import::GridVerdicts verdicts(choices, {}, connection.textFidelity());
    verdicts.judgeAll(rows);
    const import::BarcodeLookup found = import::findExistingBarcodes(connection.database(), verdicts.barcodes());
    error = found.text();
    verdicts.addExisting(found.items);
    return import::updatePlan(verdicts.previews());
}

// One save of the workload through `text`: its items added, or, once they
// are there, each given a price one higher. An empty reason means it ran.
QString saveThrough(const QString &text, RelayThread &relay, Kind kind, Figures &figures)
{
    ado::Connection connection(QStringLiteral("bench-relay-") + QUuid::createUuid().toString(QUuid::Id128));
    connection.setConnectionString(text);
    if (!connection.open())
        return connection.lastOpen().text();
    const QLocale locale(QLocale::Turkish, QLocale::Turkey);
    QList<import::ProductRow> rows = benchwork::products(kRows, locale);
    import::SaveChoices choices = benchwork::choices(locale);
    import::SavePlan plan;
    if (kind == Kind::OwnGroups) {
        // Items of their own, after the ones added before.
        rows = benchwork::products(2 * kRows, locale).mid(kRows);
        for (qsizetype index = 0; index < rows.size(); ++index)
            rows[index].group = QStringLiteral("Grup %1").arg(index % kOwnGroups + 1);
    }
    if (kind == Kind::Updates) {
        for (import::ProductRow &row : rows)
            row.price = locale.toString(locale.toDouble(row.price) + 1, 'f', 2);
        choices.updatePrices = true;
        QString error;
        plan = pricePlan(connection, rows, choices, error);
        if (!error.isEmpty())
            return error;
    }
    const quint64 before = relay.relay().requests();
    const quint64 tripsBefore = connection.roundTrips();
    QElapsedTimer clock;
    clock.start();
    const import::SaveResult result =
        import::BulkImport(connection.database(), connection.dialect(), {}, connection.textFidelity())
            .run(rows, choices, {}, plan);
    figures.seconds = double(clock.nsecsElapsed()) / 1e9;
    figures.requests = relay.relay().requests() - before;
    figures.landed = result.count(kind == Kind::Updates ? import::RowStatus::Updated : import::RowStatus::Landed);
    figures.statements = result.statementsSent;
    figures.driverTrips = connection.roundTrips() - tripsBefore;
    if (!result.connected)
        return result.connectionError;
    if (figures.landed != kRows && !result.rows.isEmpty())
        return QStringLiteral("%1 of %2 rows written; the first failure: %3")
            .arg(figures.landed)
            .arg(kRows)
            .arg(result.rows.constFirst().error);
    return {};
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString text = qEnvironmentVariable("TOPLU_SQLSERVER");
    if (text.isEmpty()) {
        std::printf("skipped: TOPLU_SQLSERVER holds no OLE DB connection text of a SQL Server to measure\n");
        return 0;
    }
    const ado::OleDbText parsed = ado::OleDbText::parse(text);
    const ado::ServerAddress address =
        ado::serverAddress(ado::serverName(parsed.value({u"Data Source", u"Server", u"Address"})));
    if (!address.ok() || address.needsInstanceLookup()) {
        std::printf("skipped: the Data Source of TOPLU_SQLSERVER must be HOST or HOST,PORT for the relay\n");
        return 0;
    }

    ado::Connection direct(QStringLiteral("bench-direct"));
    direct.setConnectionString(text);
    if (!direct.open()) {
        std::printf("cannot connect: %s\n", qPrintable(direct.lastOpen().text()));
        return 1;
    }
    posdb::SqlServerScratch scratch(direct.database().connectionName());
    RelayThread relay(address.host, quint16(address.port.value_or(1433)));
    if (!relay.listen()) {
        std::printf("the relay cannot listen: %s\n", qPrintable(relay.relay().error()));
        return 1;
    }
    const QString viaRelay = text + QStringLiteral(";Data Source=127.0.0.1,%1").arg(relay.relay().port());

    std::printf("%d rows into %s, each answer of the server held back by the relay\n", kRows,
                qPrintable(direct.description()));
    std::printf("%8s %8s %10s %10s %16s %16s %16s\n", "delay", "rows", "rows/s", "seconds", "requests/row",
                "driver trips/row", "statements/row");
    int status = 0;
    for (const int delayMs : kDelaysMs) {
        relay.relay().setDelayMs(delayMs);
        if (const QString error = scratch.create(true); !error.isEmpty()) {
            std::printf("cannot make the scratch tables: %s\n", qPrintable(error));
            return 1;
        }
        for (const auto &[kind, label] : {std::pair{Kind::Adds, "added"}, std::pair{Kind::Updates, "updated"},
                                          std::pair{Kind::OwnGroups, "groups"}}) {
            Figures figures;
            const QString error = saveThrough(viaRelay, relay, kind, figures);
            if (!error.isEmpty()) {
                std::printf("%6d ms %8s  %s\n", delayMs, label, qPrintable(error));
                status = 1;
            } else {
                std::printf("%6d ms %8s %10.1f %10.2f %16.3f %16.3f %16.3f\n", delayMs, label,
                            figures.landed / figures.seconds, figures.seconds, double(figures.requests) / kRows,
                            double(figures.driverTrips) / kRows, double(figures.statements) / kRows);
            }
            std::fflush(stdout);
        }
        if (const QString dropError = scratch.drop(); !dropError.isEmpty()) {
            std::printf("cannot drop the scratch tables: %s\n", qPrintable(dropError));
            return 1;
        }
    }
    return status;
}
