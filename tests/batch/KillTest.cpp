// The machine's worst moment: toplu-ekle killed at random points of a
// 20,000-row import. After every kill the database must be sound, hold only
// whole products, agree with the journal row for row, and come back to what
// it was by undoing that journal. Prints how many rows had landed at each kill.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <random>

#include <gtest/gtest.h>

#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "tests/common/TestDatabase.h"

namespace {

constexpr int kRows = 20000;
constexpr int kKills = 20;

const QStringList kTables{"MenuItems", "MenuItemPortions", "MenuItemPrices", "ScreenMenuCategories",
                          "ScreenMenuItems", "PrinterMaps", "Printers", "TaxTemplates"};

QMap<QString, QList<QVariantList>> everyTable(const TestDatabase &db)
{
    QMap<QString, QList<QVariantList>> tables;
    for (const QString &table : kTables)
        tables.insert(table, db.rows(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(table)));
    return tables;
}

class KilledImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(posdb::createStandInDatabase(original(), true), QString());
        QFile csv(dir.filePath(QStringLiteral("urunler.csv")));
        ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
        for (int i = 1; i <= kRows; ++i)
            csv.write(QStringLiteral("%1;Ürün %2;%3.25\r\n").arg(8690000000000LL + i).arg(i).arg(i % 500).toUtf8());
    }

    QString original() const { return dir.filePath(QStringLiteral("original.db")); }

    // Starts an import of the whole list into a copy of the original, its
    // journal in a folder of its own.
    void start(QProcess &process, const QString &db, const QString &dataHome) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dataHome);
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        process.setProcessEnvironment(env);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(QStringLiteral(TOPLU_EKLE),
                      {dir.filePath(QStringLiteral("urunler.csv")), QStringLiteral("--group"), QStringLiteral("Yeni Ürünler"),
                       QStringLiteral("--show"), QStringLiteral("--printer"), QStringLiteral("2"),
                       QStringLiteral("--connection"), QStringLiteral("Data Source=") + db});
        ASSERT_TRUE(process.waitForStarted());
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(KilledImport, leaves_whole_products_a_matching_journal_and_an_exact_undo)
{
    QMap<QString, QList<QVariantList>> before;
    {
        const std::unique_ptr<TestDatabase> db = TestDatabase::existing(original());
        before = everyTable(*db);
    }

    // One whole run, to know how long an import takes here.
    const QString whole = dir.filePath(QStringLiteral("whole.db"));
    ASSERT_TRUE(QFile::copy(original(), whole));
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    start(process, whole, dir.filePath(QStringLiteral("whole-home")));
    ASSERT_TRUE(process.waitForFinished(300000));
    ASSERT_EQ(process.exitCode(), 0);
    const qint64 wholeMs = timer.elapsed();

    std::random_device device;
    const unsigned seed = device();
    std::mt19937 random(seed);
    std::uniform_int_distribution<qint64> moment(0, wholeMs);
    std::printf("a whole import of %d rows took %lld ms; kill moments drawn with seed %u\n", kRows, wholeMs, seed);

    for (int kill = 1; kill <= kKills; ++kill) {
        SCOPED_TRACE(kill);
        const QString path = dir.filePath(QStringLiteral("kill%1.db").arg(kill));
        const QString home = dir.filePath(QStringLiteral("home%1").arg(kill));
        ASSERT_TRUE(QFile::copy(original(), path));
        const qint64 at = moment(random);
        QProcess victim;
        start(victim, path, home);
        QThread::msleep(static_cast<unsigned long>(at));
        victim.kill();
        ASSERT_TRUE(victim.waitForFinished(30000));

        const std::unique_ptr<TestDatabase> db = TestDatabase::existing(path);
        ASSERT_EQ(db->value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        // Every item has exactly its portion, price, button and mapping.
        EXPECT_EQ(db->value(QStringLiteral(
                      "SELECT COUNT(*) FROM MenuItems m WHERE "
                      "(SELECT COUNT(*) FROM MenuItemPortions p WHERE p.MenuItemId = m.id) != 1 OR "
                      "(SELECT COUNT(*) FROM MenuItemPrices r JOIN MenuItemPortions p ON r.MenuItemPortionId = p.id "
                      " WHERE p.MenuItemId = m.id) != 1 OR "
                      "(SELECT COUNT(*) FROM ScreenMenuItems s WHERE s.MenuItemId = m.id) != 1 OR "
                      "(SELECT COUNT(*) FROM PrinterMaps pm WHERE pm.MenuItemId = m.id) != 1"))
                      .toInt(),
                  0);
        for (const char *table : {"MenuItemPortions", "MenuItemPrices", "ScreenMenuItems", "PrinterMaps"})
            EXPECT_EQ(db->count(QString::fromLatin1(table)), db->count(QStringLiteral("MenuItems"))) << table;
        const qint64 landed = db->count(QStringLiteral("MenuItems"));

        // The journal names exactly the items in the database.
        const QStringList journals =
            QDir(home + QStringLiteral("/toplu-urun-ekle/journal")).entryList({QStringLiteral("*.jsonl")}, QDir::Files);
        ASSERT_LE(journals.size(), 1);
        QSet<qint64> inDatabase;
        for (const QVariantList &row : db->rows(QStringLiteral("SELECT id FROM MenuItems")))
            inDatabase.insert(row.value(0).toLongLong());
        QSet<qint64> journaled;
        const QString journal =
            journals.isEmpty() ? QString() : home + QStringLiteral("/toplu-urun-ekle/journal/") + journals.first();
        if (!journal.isEmpty()) {
            const import::LandedRecords records =
                import::landedRecords(db->connection.database(), import::readJournal(journal));
            ASSERT_TRUE(records.ok());
            for (const import::JournalRow &row : records.rows)
                journaled.insert(row.itemId);
        }
        EXPECT_EQ(journaled, inDatabase);
        std::printf("kill %2d at %5lld ms: %6lld rows landed, %s\n", kill, at, landed,
                    journal.isEmpty() ? "no journal yet" : "journal matches");

        // A journal of nothing landed has nothing to undo, and its undo is refused.
        if (!journaled.isEmpty()) {
            const import::UndoResult undone =
                import::undoImport(db->connection.database(), db->connection.dialect(), journal);
            ASSERT_TRUE(undone.undone) << undone.message.toStdString();
        }
        EXPECT_EQ(everyTable(*db), before);
    }
}
