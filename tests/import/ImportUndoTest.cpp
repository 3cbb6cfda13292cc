// The journal of a save and the undo it makes possible, on the demo stand-in.
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "tests/common/Outcomes.h"
#include "SaveFixture.h"
#include "tests/common/CrashingJournal.h"
#include "tests/common/ScratchFile.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"

using import::ImportJournal;
using import::JournalBatch;
using import::RowStatus;
using import::SaveResult;

namespace {

// Passes batches to a real journal but never says how they ended: the
// journal a crash between commit and its last line leaves.
class SilentAfterCommit : public import::SaveJournal {
public:
    explicit SilentAfterCommit(import::SaveJournal &journal) : m_journal(journal) {}
    platform::Outcome pending(const JournalBatch &batch) override { return m_journal.pending(batch); }
    void settled(bool) override {}

private:
    import::SaveJournal &m_journal;
};

// A journal on a full disk.
class RefusingJournal : public import::SaveJournal {
public:
    platform::Outcome pending(const JournalBatch &) override
    {
        return platform::Outcome::failure({}, QStringLiteral("No space left on device"));
    }
    void settled(bool) override { ADD_FAILURE() << "a refused batch was settled"; }
};

// A batch of one row, for journals whose contents do not matter.
JournalBatch oneRow()
{
    JournalBatch batch;
    batch.rows.append(import::JournalRow());
    return batch;
}

}  // namespace

class UndoTest : public SaveTest {
protected:
    // Saves `rows` with a journal of its own; returns the journal's path.
    QString saveJournaled(const QList<import::ProductRow> &rows, const import::SaveChoices &c,
                          import::SaveJournal *wrapper = nullptr, SaveResult *result = nullptr)
    {
        const std::unique_ptr<ImportJournal> journal = valueOf(ImportJournal::create(
            journals.path(), {QStringLiteral("pos.db"), QStringLiteral("urunler.xls"), QDateTime::currentDateTimeUtc()}));
        EXPECT_TRUE(journal);
        if (!journal)
            return {};
        import::BulkImport import(pos.connection.database(), pos.connection.dialect());
        const SaveResult saved = import.run(rows, c, {}, {}, wrapper ? wrapper : journal.get());
        if (result)
            *result = saved;
        return journal->path();
    }

    import::UndoResult undo(const QString &journalPath)
    {
        return import::undoImport(pos.connection.database(), pos.connection.dialect(), journalPath);
    }

    import::SaveChoices inNewGroup() const
    {
        import::SaveChoices c = everything();
        c.group = QStringLiteral("Yeni Grup");
        return c;
    }

    QTemporaryDir journals;
};

TEST_F(UndoTest, undo_after_a_clean_import_leaves_every_table_as_before_and_the_second_undo_says_so)
{
    const QMap<QString, QStringList> before = everyTable();
    const QString journal = saveJournaled({product("Çay", "12,5", "111"), product("Simit", "7", "222")}, inNewGroup());
    ASSERT_EQ(pos.count("ScreenMenuCategories"), 3);  // the group's category was created

    const import::UndoResult first = undo(journal);
    EXPECT_TRUE(first.undone) << first.message.toStdString();
    EXPECT_EQ(first.items, 2);
    EXPECT_EQ(everyTable(), before);

    const import::UndoResult second = undo(journal);
    EXPECT_FALSE(second.undone);
    EXPECT_TRUE(second.message.contains(QStringLiteral("zaten geri alındı"))) << second.message.toStdString();
    EXPECT_EQ(everyTable(), before);
}

// A journal written by the version before updates existed still undoes its
// import; one of a later version than this program is refused untouched.
TEST_F(UndoTest, journals_of_earlier_formats_undo_and_later_ones_are_refused)
{
    for (const auto &[format, undone] : {std::pair{1, true}, std::pair{3, false}}) {
        SCOPED_TRACE(format);
        const QMap<QString, QStringList> before = everyTable();
        const QString journal = saveJournaled({product("Çay", "12,5", "111")}, inNewGroup());
        QFile file(journal);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray text = file.readAll();
        ASSERT_TRUE(text.contains(R"("journal":2)"));
        text.replace(R"("journal":2)", QByteArrayLiteral(R"("journal":)") + QByteArray::number(format));
        ASSERT_TRUE(file.resize(0) && file.write(text) == text.size());
        file.close();
        const QMap<QString, QStringList> imported = everyTable();

        EXPECT_EQ(undo(journal).undone, undone);
        EXPECT_EQ(everyTable(), undone ? before : imported);
    }
}

TEST_F(UndoTest, the_journal_lists_only_the_rows_that_landed)
{
    ASSERT_EQ(pos.exec("CREATE TRIGGER fail BEFORE INSERT ON MenuItemPrices WHEN NEW.Price = 13 "
                       "BEGIN SELECT RAISE(ABORT, 'bozuk'); END"),
              QString());
    SaveResult result;
    const QString journal =
        saveJournaled({product("Çay"), product("Bozuk", "13"), product("Kahve"), product("", "5")}, everything(),
                      nullptr, &result);
    ASSERT_EQ(result.rows[1].status, RowStatus::Failed);

    const import::JournalContents contents = import::readJournal(journal);
    ASSERT_TRUE(contents.ok());
    EXPECT_TRUE(contents.unsettled.isEmpty());
    QList<int> rows;
    for (const JournalBatch &batch : contents.committed) {
        for (const import::JournalRow &row : batch.rows)
            rows << row.gridRow;
    }
    EXPECT_EQ(rows, (QList<int>{1, 3}));
    EXPECT_EQ(contents.header.target, QStringLiteral("pos.db"));
}

struct RefusedUndo {
    const char *change;   // what happened to the database after the import
    const char *message;  // what the refusal names
};

class UndoRefused : public UndoTest, public ::testing::WithParamInterface<RefusedUndo> {};

TEST_P(UndoRefused, changes_nothing_and_names_the_first_record_at_fault)
{
    const QString journal = saveJournaled({product("Çay", "10", "111"), product("Simit", "7", "222")}, inNewGroup());
    for (const QString &statement : QString::fromUtf8(GetParam().change).split(QStringLiteral("; ")))
        ASSERT_EQ(pos.exec(statement), QString());
    const QMap<QString, QStringList> edited = everyTable();

    const import::UndoResult result = undo(journal);
    EXPECT_FALSE(result.undone);
    EXPECT_TRUE(result.message.contains(QString::fromUtf8(GetParam().message))) << result.message.toStdString();
    EXPECT_EQ(everyTable(), edited);
    EXPECT_FALSE(import::readJournal(journal).undone);
}

INSTANTIATE_TEST_SUITE_P(
    AfterTheImport, UndoRefused,
    ::testing::Values(
        RefusedUndo{"UPDATE MenuItems SET Name = 'Simit Büyük' WHERE id = 2",
                    "MenuItems 2 (satır 2, “Simit”) aktarımdan sonra değiştirilmiş"},
        RefusedUndo{"UPDATE MenuItems SET Barcode = '999' WHERE id = 1",
                    "MenuItems 1 (satır 1, “Çay”) aktarımdan sonra değiştirilmiş"},
        RefusedUndo{"UPDATE MenuItemPrices SET Price = 99 WHERE id = 2",
                    "MenuItemPrices 2 (satır 2, “Simit”) aktarımdan sonra değiştirilmiş"},
        RefusedUndo{"DELETE FROM ScreenMenuItems WHERE id = 1", "ScreenMenuItems 1 (satır 1, “Çay”) artık yok"},
        // The point-of-sale application sold the item: its ticket line holds on to it.
        RefusedUndo{"CREATE TABLE TicketLines (id INTEGER PRIMARY KEY, MenuItemId INT NOT NULL REFERENCES MenuItems(id)); "
                    "INSERT INTO TicketLines (MenuItemId) VALUES (2)",
                    "Veritabanı MenuItems 2 (satır 2, “Simit”) kaydının silinmesini reddetti"}));

TEST_F(UndoTest, undo_puts_back_a_printer_mapping_the_import_overwrote)
{
    // A mapping left behind for the id the next item will get.
    ASSERT_EQ(pos.exec("PRAGMA foreign_keys = OFF"), QString());
    ASSERT_EQ(pos.exec("INSERT INTO PrinterMaps (PrintJobId, MenuItemGroupCode, MenuItemId, PrinterId, "
                       "PrinterTemplateId, DepartmentId, TicketTypeId) VALUES (9, 'eski', 1, 3, 9, 5, 5)"),
              QString());
    ASSERT_EQ(pos.exec("PRAGMA foreign_keys = ON"), QString());
    const QStringList mapsBefore = table("SELECT * FROM PrinterMaps ORDER BY id");

    const QString journal = saveJournaled({product("Çay"), product("Simit")}, everything());
    ASSERT_NE(table("SELECT * FROM PrinterMaps ORDER BY id").first(), mapsBefore.first());

    // The mapping put back points at an item that is gone again, as it did
    // before: only a database that does not enforce the reference holds it.
    ASSERT_EQ(pos.exec("PRAGMA foreign_keys = OFF"), QString());
    const import::UndoResult result = undo(journal);
    EXPECT_TRUE(result.undone) << result.message.toStdString();
    EXPECT_EQ(table("SELECT * FROM PrinterMaps ORDER BY id"), mapsBefore);
    EXPECT_EQ(pos.count("MenuItems"), 0);
}

TEST_F(UndoTest, a_batch_the_journal_never_saw_settled_counts_by_what_the_database_holds)
{
    const QMap<QString, QStringList> before = everyTable();
    const std::unique_ptr<ImportJournal> journal = valueOf(ImportJournal::create(
        journals.path(), {QStringLiteral("pos.db"), QString(), QDateTime::currentDateTimeUtc()}));
    ASSERT_TRUE(journal);
    SilentAfterCommit crashAfterCommit(*journal);
    import::BulkImport(pos.connection.database(), pos.connection.dialect())
        .run({product("Çay"), product("Simit")}, everything(), {}, {}, &crashAfterCommit);
    // And a last line the program was stopped in the middle of.
    {
        QFile file(journal->path());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("{\"pending\":2,\"rows\":[{\"row\":3,");
    }
    const import::JournalContents contents = import::readJournal(journal->path());
    ASSERT_TRUE(contents.ok());
    ASSERT_EQ(contents.unsettled.size(), 1);
    EXPECT_TRUE(contents.committed.isEmpty());

    const import::UndoResult result = undo(journal->path());
    EXPECT_TRUE(result.undone) << result.message.toStdString();
    EXPECT_EQ(result.items, 2);
    EXPECT_EQ(everyTable(), before);
}

TEST_F(UndoTest, a_batch_the_journal_cannot_record_is_rolled_back_and_no_later_row_is_tried)
{
    const QMap<QString, QStringList> before = everyTable();
    RefusingJournal fullDisk;
    SaveResult result;
    // More rows than one batch holds, so that there is a batch after the refused one.
    QList<import::ProductRow> rows;
    for (int i = 1; i <= 600; ++i)
        rows << product(QStringLiteral("Ürün %1").arg(i));
    saveJournaled(rows, everything(), &fullDisk, &result);

    EXPECT_EQ(everyTable(), before);
    ASSERT_EQ(result.rows.size(), rows.size());
    for (const import::RowOutcome &row : result.rows) {
        ASSERT_EQ(row.status, RowStatus::Failed);
        EXPECT_TRUE(row.error.contains(QStringLiteral("No space left on device"))) << row.error.toStdString();
    }
}

TEST_F(UndoTest, a_crashed_batch_is_settled_before_the_next_import_takes_its_ids_again)
{
    const QList<import::ProductRow> sheet{product("Çay", "10", "111"), product("Simit", "7", "222")};
    const std::unique_ptr<ImportJournal> crashed = valueOf(ImportJournal::create(
        journals.path(), {QStringLiteral("pos.db"), QString(), QDateTime::currentDateTimeUtc()}));
    ASSERT_TRUE(crashed);
    CrashBeforeCommit killed(*crashed);
    import::BulkImport(pos.connection.database(), pos.connection.dialect()).run(sheet, everything(), {}, {}, &killed);
    ASSERT_EQ(import::readJournal(crashed->path()).unsettled.size(), 1);
    ASSERT_EQ(pos.count("MenuItems"), 0);

    // The same sheet again: SQLite hands out the rolled-back ids once more.
    const std::unique_ptr<ImportJournal> next = valueOf(import::startJournal(
        pos.connection.database(), journals.path(), {QStringLiteral("pos.db"), QString(), QDateTime::currentDateTimeUtc()}));
    ASSERT_TRUE(next);
    import::BulkImport(pos.connection.database(), pos.connection.dialect()).run(sheet, everything(), {}, {}, next.get());
    const QMap<QString, QStringList> imported = everyTable();
    ASSERT_EQ(pos.count("MenuItems"), 2);

    const import::JournalContents settled = import::readJournal(crashed->path());
    EXPECT_TRUE(settled.empty());
    const import::UndoResult result = undo(crashed->path());
    EXPECT_FALSE(result.undone);
    EXPECT_TRUE(result.message.contains(QStringLiteral("hiçbir ürün eklenmedi"))) << result.message.toStdString();
    EXPECT_EQ(everyTable(), imported);
    EXPECT_EQ(import::lastJournal(journals.path(), QStringLiteral("pos.db")), next->path());
}

TEST(ImportJournalFiles, a_journal_is_kept_only_when_a_batch_of_it_was_committed)
{
    QTemporaryDir folder;
    const std::pair<const char *, QList<bool>> cases[] = {
        {"no batch", {}}, {"one rolled back", {false}}, {"rolled back, then committed", {false, true}}};
    for (const auto &[what, commits] : cases) {
        SCOPED_TRACE(what);
        QString path;
        {
            const std::unique_ptr<ImportJournal> journal =
                valueOf(ImportJournal::create(folder.path(), {QStringLiteral("pos.db"), QString(), QDateTime::currentDateTimeUtc()}));
            ASSERT_TRUE(journal);
            path = journal->path();
            for (const bool committed : commits) {
                ASSERT_TRUE(journal->pending(oneRow()).ok());
                journal->settled(committed);
            }
        }
        EXPECT_EQ(QFile::exists(path), commits.contains(true));
    }
}

TEST(ImportJournalFiles, an_undo_mark_after_a_line_cut_short_leaves_the_journal_readable)
{
    const QByteArray header = R"({"journal":1,"sheet":"","started":"2026-12-07T10:00:00.000Z","target":"pos.db"})" "\n"
                              R"({"newCategories":[],"pending":1,"rows":[{"item":1,"row":1}]})" "\n";
    const std::pair<const char *, QByteArray> cases[] = {
        {"cut line, marked now", header + R"({"co)"},
        {"cut line glued to an earlier mark", header + R"({"co{"undone":"2026-12-07T11:00:00.000Z"})" "\n"},
    };
    for (const auto &[what, text] : cases) {
        SCOPED_TRACE(what);
        const ScratchFile journal(QStringLiteral("cut.jsonl"), text);
        ASSERT_TRUE(journal.ok());
        const QString &path = journal.path();
        if (!text.endsWith('\n')) {
            ASSERT_TRUE(import::markUndone(path).ok());
        }
        const import::JournalContents contents = import::readJournal(path);
        EXPECT_TRUE(contents.ok());
        EXPECT_TRUE(contents.undone);
        EXPECT_EQ(contents.unsettled.size(), 1);
    }
}

TEST(ImportJournalFiles, the_last_journal_is_the_last_created_whatever_the_clock_and_never_an_empty_one)
{
    QTemporaryDir folder;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto landed = [&folder](const QDateTime &started) {
        const std::unique_ptr<ImportJournal> journal =
            valueOf(ImportJournal::create(folder.path(), {QStringLiteral("pos.db"), QString(), started}));
        EXPECT_TRUE(journal);
        EXPECT_TRUE(journal->pending(oneRow()).ok());
        journal->settled(true);
        return journal->path();
    };
    landed(now);
    // The till's clock was put back a day before the next import.
    const QString last = landed(now.addDays(-1));
    EXPECT_EQ(import::lastJournal(folder.path(), QStringLiteral("pos.db")), last);

    // A killed import that had recorded nothing: it leaves a journal of its header only.
    {
        const std::unique_ptr<ImportJournal> killed =
            valueOf(ImportJournal::create(folder.path(), {QStringLiteral("pos.db"), QString(), now}));
        ASSERT_TRUE(killed);
        ASSERT_TRUE(QFile::copy(killed->path(), killed->path() + QStringLiteral(".jsonl")));
    }
    EXPECT_EQ(import::lastJournal(folder.path(), QStringLiteral("pos.db")), last);
}

TEST(ImportJournalFiles, the_newest_journal_of_a_target_is_found_whatever_the_others)
{
    QTemporaryDir folder;
    const QDateTime start = QDateTime::currentDateTimeUtc();
    const auto create = [&](const QString &target, int secondsLater) {
        const std::unique_ptr<ImportJournal> journal =
            valueOf(ImportJournal::create(folder.path(), {target, QString(), start.addSecs(secondsLater)}));
        if (!journal)
            return QString();
        // Only a journal that landed something is kept.
        EXPECT_TRUE(journal->pending(oneRow()).ok());
        journal->settled(true);
        return journal->path();
    };
    create(QStringLiteral("KASA\\SQLEXPRESS / POS"), 0);
    const QString newest = create(QStringLiteral("KASA\\SQLEXPRESS / POS"), 60);
    create(QStringLiteral("SUBE2 / POS"), 120);
    EXPECT_EQ(import::lastJournal(folder.path(), QStringLiteral("KASA\\SQLEXPRESS / POS")), newest);
    EXPECT_EQ(import::lastJournal(folder.path(), QStringLiteral("SUBE3 / POS")), QString());
    EXPECT_TRUE(QFileInfo(newest).fileName().endsWith(QStringLiteral("KASA_SQLEXPRESS___POS.jsonl")))
        << newest.toStdString();
}
