// End to end against a live SQL Server: the built toplu-ekle program imports
// into scratch tables, and what lands is read back from the server.
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>

#include "LiveServer.h"
#include "tests/common/TestDatabase.h"

namespace {

// Rows as texts that read the same from either engine: a bit and a whole
// number alike, a number in its shortest form.
QStringList comparable(const QList<QVariantList> &rows)
{
    QStringList lines;
    for (const QVariantList &row : rows) {
        QStringList cells;
        for (const QVariant &value : row) {
            if (value.isNull())
                cells << QStringLiteral("NULL");
            else if (value.typeId() == QMetaType::Bool || value.typeId() == QMetaType::Int ||
                     value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double)
                cells << QString::number(value.toDouble());
            else
                cells << value.toString();
        }
        lines << cells.join(u'|');
    }
    return lines;
}

QString everyTable(const QString &table)
{
    return QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(table);
}

// The report's rows of the one target, from a JSON report.
QJsonArray reportRows(const ProgramRun &run)
{
    return QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("targets")][0][QStringLiteral("rows")].toArray();
}

// The statuses of the report's rows, in order.
QStringList statuses(const ProgramRun &run)
{
    QStringList result;
    for (const QJsonValue &row : reportRows(run))
        result << row[QStringLiteral("status")].toString();
    return result;
}

const QString kSalesScreenNames = QStringLiteral(
    "SELECT i.Name FROM MenuItems i JOIN ScreenMenuItems s ON s.MenuItemId = i.id ORDER BY i.id");

}  // namespace

// The sample workbook with every choice, once into an existing group and once
// into a new one: every table holds what the same import writes into the
// embedded stand-in database, row for row.
TEST_F(LiveServer, the_sample_workbook_with_every_choice_lands_as_on_the_stand_in)
{
    TestDatabase standIn(true);
    const QStringList choices{QStringLiteral(SAMPLE_WORKBOOK), QStringLiteral("--locale"), QStringLiteral("tr_TR"),
                              QStringLiteral("--unit"), QStringLiteral("Kg"), QStringLiteral("--printer"),
                              QStringLiteral("Bar Yazıcısı"), QStringLiteral("--colour"), QStringLiteral("sari"),
                              QStringLiteral("--submenu"), QStringLiteral("Soğuk"), QStringLiteral("--show"),
                              QStringLiteral("--duplicates"), QStringLiteral("add")};
    for (const char *group : {"Sıcak İçecekler", "Yeni Grup Ğüşiöç"}) {
        SCOPED_TRACE(group);
        const QStringList arguments = choices + QStringList{QStringLiteral("--group"), QString::fromUtf8(group)};
        const ProgramRun server = runOnServer(arguments);
        EXPECT_EQ(server.exitCode, 0) << server.err.toStdString() << server.out.toStdString();
        const ProgramRun embedded = run(arguments + QStringList{QStringLiteral("--connection"), standIn.connectionText()});
        ASSERT_EQ(embedded.exitCode, 0) << embedded.err.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("MenuItems")), 80);
    EXPECT_EQ(count(QStringLiteral("ScreenMenuCategories")), 3);
    for (const QString &table : posdb::sqlServerTables()) {
        SCOPED_TRACE(table.toStdString());
        EXPECT_EQ(comparable(rows(everyTable(table))), comparable(standIn.rows(everyTable(table))));
    }
}

TEST_F(LiveServer, duplicates_are_skipped_added_or_stop_the_import)
{
    struct Case {
        const char *policy;
        int exitCode;
        QStringList statuses;  // rows 1-3: registered barcode, new barcode, the new one again
        qint64 itemsAfter;
    };
    const Case cases[] = {
        {"skip", 1, {"duplicate", "landed", "duplicate"}, 2},
        {"add", 0, {"landed", "landed", "landed"}, 4},
        {"stop", 1, {"duplicate", "not-attempted", "duplicate"}, 1},
    };
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"),
                                   QStringLiteral("222;Su;5"), QStringLiteral("222;Su yine;5")});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.policy);
        recreateTables();
        ASSERT_EQ(exec(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) "
                                      "VALUES (N'X', N'111', 0, N'Eski Çay')")), QString());
        const ProgramRun result = runOnServer({products, QStringLiteral("--duplicates"), QString::fromLatin1(c.policy)});
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
        EXPECT_EQ(statuses(result), c.statuses) << result.out.toStdString();
        EXPECT_EQ(count(QStringLiteral("MenuItems")), c.itemsAfter);
    }
}

TEST_F(LiveServer, a_dry_run_writes_nothing)
{
    ASSERT_EQ(exec(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) "
                                  "VALUES (N'X', N'111', 0, N'Eski Çay')")), QString());
    const QString before = everyCount();
    const ProgramRun dry = runOnServer({sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"),
                                                                             QStringLiteral("222;Su;5")}),
                                        QStringLiteral("--dry-run"), QStringLiteral("--show"),
                                        QStringLiteral("--group=Yeni"), QStringLiteral("--printer=1")});
    EXPECT_EQ(dry.exitCode, 1) << dry.err.toStdString();
    EXPECT_EQ(statuses(dry), (QStringList{QStringLiteral("duplicate"), QStringLiteral("would-add")}));
    EXPECT_EQ(everyCount(), before);
}

TEST_F(LiveServer, an_import_is_undone_exactly)
{
    const QString before = everyCount();
    const ProgramRun imported = runOnServer({sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"),
                                                                                  QStringLiteral("222;Su;5")}),
                                             QStringLiteral("--show"), QStringLiteral("--group=Yeni"),
                                             QStringLiteral("--printer=1")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    ASSERT_NE(everyCount(), before);

    const ProgramRun undone = runOnServer({QStringLiteral("--undo-last")});
    EXPECT_EQ(undone.exitCode, 0) << undone.err.toStdString();
    EXPECT_TRUE(undone.err.contains(QStringLiteral("Aktarım geri alındı: 2 ürün silindi."))) << undone.err.toStdString();
    EXPECT_EQ(everyCount(), before);
}

// Names of the full 50 characters in letters outside Latin-1, and the
// dotless and dotted I that case rules fold together: each lands, reads back
// as written, and the undo finds the rows by them.
TEST_F(LiveServer, turkish_names_of_fifty_characters_land_exactly_and_are_undone)
{
    const QString letters = QStringLiteral("şğıİŞĞüöç");
    QString mixed;
    while (mixed.size() < 50)
        mixed += letters.at(mixed.size() % letters.size());
    const QString dotted = QString(25, u'ı') + QString(25, u'İ');
    const QStringList names{mixed, dotted, QString(25, u'İ') + QString(25, u'ı')};
    QStringList lines;
    for (qsizetype i = 0; i < names.size(); ++i)
        lines << QStringLiteral("%1;%2;10").arg(100 + i).arg(names[i]);

    const ProgramRun imported = runOnServer({sheet(QStringLiteral("turkce.csv"), lines), QStringLiteral("--show"),
                                             QStringLiteral("--group"), dotted});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString() << imported.out.toStdString();
    QStringList stored;
    for (const QVariantList &row : rows(kSalesScreenNames))
        stored << row.value(0).toString();
    EXPECT_EQ(stored, names);
    const QList<QVariantList> groups = rows(QStringLiteral("SELECT DISTINCT GroupCode FROM MenuItems"));
    EXPECT_EQ(groups, (QList<QVariantList>{{dotted}}));

    const ProgramRun undone = runOnServer({QStringLiteral("--undo-last")});
    EXPECT_EQ(undone.exitCode, 0) << undone.err.toStdString();
    EXPECT_EQ(count(QStringLiteral("MenuItems")), 0);
    EXPECT_EQ(count(QStringLiteral("ScreenMenuCategories")), 2);
}

TEST_F(LiveServer, a_row_a_trigger_refuses_fails_alone_with_the_triggers_reason)
{
    ASSERT_EQ(exec(QStringLiteral("CREATE TRIGGER MenuItems_refuse ON MenuItems AFTER INSERT AS "
                                  "IF EXISTS (SELECT 1 FROM inserted WHERE Barcode = N'222') "
                                  "THROW 50001, N'Bu ürün satışa kapalı', 1;")), QString());
    const ProgramRun result = runOnServer({sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"),
                                                                                QStringLiteral("222;Su;5"),
                                                                                QStringLiteral("333;Ayran;7")}),
                                           QStringLiteral("--show"), QStringLiteral("--printer=1")});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_EQ(statuses(result), (QStringList{QStringLiteral("landed"), QStringLiteral("failed"), QStringLiteral("landed")}))
        << result.out.toStdString();
    EXPECT_TRUE(reportRows(result)[1][QStringLiteral("reason")].toString().contains(QStringLiteral("Bu ürün satışa kapalı")))
        << result.out.toStdString();
    EXPECT_EQ(count(QStringLiteral("MenuItems")), 2);
    EXPECT_EQ(count(QStringLiteral("MenuItemPortions")), 2);
    EXPECT_EQ(count(QStringLiteral("ScreenMenuItems")), 2);
}

// Another program holds MenuItems locked in an open transaction: the rows
// fail with the reason once the wait for the lock runs out, and the program
// ends instead of waiting for as long as the lock is held.
TEST_F(LiveServer, a_locked_table_fails_the_rows_instead_of_hanging)
{
    ado::Connection holder(QStringLiteral("live-holder-") + QUuid::createUuid().toString(QUuid::Id128));
    QSqlDatabase held = holdLocks(holder, QStringLiteral("SELECT COUNT(*) FROM MenuItems WITH (TABLOCKX, HOLDLOCK)"));
    ASSERT_TRUE(held.isOpen());

    // Some servers take the hint and lock nothing: then there is nothing to wait for.
    ASSERT_EQ(exec(QStringLiteral("SET LOCK_TIMEOUT 500")), QString());
    const bool ignored = exec(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) "
                                             "VALUES (N'X', N'999', 0, N'Deneme')")).isEmpty();
    if (ignored) {
        held.rollback();
        exec(QStringLiteral("DELETE FROM MenuItems WHERE Barcode = N'999'"));
        GTEST_SKIP() << "this server took the table lock hint (TABLOCKX) and locked nothing: another "
                        "connection could still insert";
    }

    const ProgramRun result = runOnServer({sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"),
                                                                                QStringLiteral("222;Su;5")})});
    held.rollback();
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_EQ(statuses(result), (QStringList{QStringLiteral("failed"), QStringLiteral("failed")})) << result.out.toStdString();
    EXPECT_EQ(count(QStringLiteral("MenuItems")), 0);
}

// Another program has removed the group's category in a transaction it has
// not ended: the import that needs that category waits for the lock, then
// fails its rows with the reason and ends.
TEST_F(LiveServer, a_row_locked_by_another_program_fails_the_rows_after_the_wait)
{
    // Texts any code page holds, so that only the lock can fail the rows.
    ASSERT_EQ(exec(QStringLiteral("INSERT INTO ScreenMenuCategories (Name) VALUES (N'Kahveler')")), QString());
    ado::Connection holder(QStringLiteral("live-holder-") + QUuid::createUuid().toString(QUuid::Id128));
    QSqlDatabase held = holdLocks(holder, QStringLiteral("DELETE FROM ScreenMenuCategories WHERE Name = N'Kahveler'"));
    ASSERT_TRUE(held.isOpen());

    const ProgramRun result = runOnServer({sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Cay;10"),
                                                                                QStringLiteral("222;Su;5")}),
                                           QStringLiteral("--show"), QStringLiteral("--group"), QStringLiteral("Kahveler")});
    held.rollback();
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_EQ(statuses(result), (QStringList{QStringLiteral("failed"), QStringLiteral("failed")})) << result.out.toStdString();
    for (const QJsonValue &row : reportRows(result))
        EXPECT_TRUE(row[QStringLiteral("reason")].toString().contains(u"lock", Qt::CaseInsensitive)) << result.out.toStdString();
    EXPECT_EQ(count(QStringLiteral("MenuItems")), 0);
    EXPECT_EQ(count(QStringLiteral("ScreenMenuCategories")), 3);
}
