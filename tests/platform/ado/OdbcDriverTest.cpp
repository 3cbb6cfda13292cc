// The ODBC driver against SQLite's ODBC driver ("SQLite3", Debian's
// libsqliteodbc), which needs no server.
#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>

#include <ostream>

#include "platform/ado/OdbcColumns.h"
#include "platform/ado/OdbcConnectionString.h"
#include "platform/ado/OdbcDiagnostics.h"
#include "platform/ado/OdbcDriver.h"
#include "platform/ado/OdbcParameters.h"
#include "tests/common/NamedCases.h"

namespace {

class OdbcDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ado::installedOdbcDrivers().contains(u"SQLite3"))
            << "SQLite's ODBC driver is missing: run scripts/deps.sh";
        ASSERT_TRUE(m_dir.isValid());
        m_driver = new ado::OdbcDriver;
        db = QSqlDatabase::addDatabase(m_driver, m_name);
        db.setDatabaseName(QStringLiteral("Driver=SQLite3;Database=") + m_dir.filePath(QStringLiteral("t.db")));
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        ASSERT_TRUE(run(QStringLiteral("CREATE TABLE t(s TEXT, i INTEGER, r REAL, b BIT)")));
    }

    void TearDown() override
    {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }

    QSqlQuery query() const
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        return q;
    }

    bool run(const QString &sql)
    {
        QSqlQuery q = query();
        const bool ok = q.exec(sql);
        EXPECT_EQ(q.lastError().text(), "") << sql.toStdString();
        return ok;
    }

    // The first column of every row `sql` gives.
    QVariantList column(const QString &sql)
    {
        QSqlQuery q = query();
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        QVariantList values;
        while (q.next())
            values << q.value(0);
        return values;
    }

    quint64 roundTrips() const { return m_driver->roundTrips(); }

    QTemporaryDir m_dir;
    QString m_name = QUuid::createUuid().toString();
    ado::OdbcDriver *m_driver = nullptr;  // owned by the Qt connection
    QSqlDatabase db;
};

struct BindCase {
    const char *name;
    QVariant value;
    const char *column;
    const char *storedAs;  // SQLite's typeof() of the stored value
    QVariant readBack;
};

void PrintTo(const BindCase &c, std::ostream *os)
{
    *os << c.name;
}

class OdbcBinding : public OdbcDriverTest, public ::testing::WithParamInterface<BindCase> {};

TEST_P(OdbcBinding, stores_each_type_as_its_own_kind_and_reads_it_back)
{
    const BindCase &c = GetParam();
    QSqlQuery insert = query();
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO t(%1) VALUES (?)").arg(c.column)));
    insert.addBindValue(c.value);
    ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
    EXPECT_EQ(insert.numRowsAffected(), 1);

    QSqlQuery select = query();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT typeof(%1), %1 AS value FROM t").arg(c.column)));
    EXPECT_EQ(select.record().fieldName(1), "value");
    ASSERT_TRUE(select.next());
    EXPECT_EQ(select.value(0).toString(), c.storedAs);
    EXPECT_EQ(select.value(1), c.readBack);
    EXPECT_EQ(select.value(1).metaType(), c.readBack.metaType());
    EXPECT_EQ(select.isNull(1), c.readBack.isNull());
}

const QString kTurkish = QStringLiteral("Şişli Çiğ Köfte Ürün İĞÜŞÖÇ ığüşöç");

INSTANTIATE_TEST_SUITE_P(
    Types, OdbcBinding,
    ::testing::Values(BindCase{"text", kTurkish, "s", "text", kTurkish},
                      BindCase{"empty_text", QStringLiteral(""), "s", "text", QStringLiteral("")},
                      BindCase{"null_text", QString(), "s", "null", QVariant(QMetaType::fromType<QString>())},
                      BindCase{"invalid_value", QVariant(), "i", "null", QVariant(QMetaType::fromType<qlonglong>())},
                      BindCase{"int", -42, "i", "integer", qlonglong(-42)},
                      BindCase{"qint64", Q_INT64_C(1) << 53, "i", "integer", qlonglong(Q_INT64_C(1) << 53)},
                      BindCase{"uint", 4'000'000'000u, "i", "integer", qlonglong(4'000'000'000)},
                      BindCase{"double", 12.5, "r", "real", 12.5},
                      BindCase{"bool_true", true, "b", "integer", true},
                      BindCase{"bool_false", false, "b", "integer", false}),
    ByName());

struct ReadCase {
    const char *name;
    const char *declared;  // the column's declared type
    const char *literal;   // the SQL of the stored value
    QVariant expected;
};

void PrintTo(const ReadCase &c, std::ostream *os)
{
    *os << c.name;
}

class OdbcReading : public OdbcDriverTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(OdbcReading, gives_each_column_type_its_qt_type)
{
    const ReadCase &c = GetParam();
    ASSERT_TRUE(run(QStringLiteral("CREATE TABLE r(v %1)").arg(c.declared)));
    ASSERT_TRUE(run(QStringLiteral("INSERT INTO r VALUES (%1)").arg(c.literal)));
    QSqlQuery select = query();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT v FROM r")));
    EXPECT_EQ(select.record().field(0).metaType(), c.expected.metaType());
    ASSERT_TRUE(select.next());
    EXPECT_EQ(select.value(0), c.expected);
    EXPECT_EQ(select.value(0).metaType(), c.expected.metaType());
}

INSTANTIATE_TEST_SUITE_P(
    Types, OdbcReading,
    ::testing::Values(
        ReadCase{"real", "NUMERIC(10,2)", "12.5", 12.5},  // SQLite's driver calls it DOUBLE
        ReadCase{"date", "DATE", "'2024-03-01'", QDate(2024, 3, 1)},
        ReadCase{"time", "TIME", "'13:45:10'", QTime(13, 45, 10)},
        ReadCase{"timestamp", "TIMESTAMP", "'2024-03-01 13:45:10.250'",
                 QDateTime(QDate(2024, 3, 1), QTime(13, 45, 10, 250))},
        ReadCase{"null_date", "DATE", "NULL", QVariant(QMetaType::fromType<QDate>())},
        ReadCase{"bytes", "BLOB", "x'00ff10'", QByteArray("\x00\xff\x10", 3)},
        ReadCase{"bytes_beyond_a_chunk", "BLOB", "zeroblob(5000)", QByteArray(5000, '\0')}),
    ByName());

TEST_F(OdbcDriverTest, refuses_an_unsigned_integer_beyond_bigint_and_a_value_it_cannot_send)
{
    QSqlQuery insert = query();
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO t(i) VALUES (?)")));
    insert.addBindValue(Q_UINT64_C(1) << 63);
    EXPECT_FALSE(insert.exec());
    EXPECT_TRUE(insert.lastError().text().contains(u"larger than a BIGINT")) << insert.lastError().text().toStdString();
    insert.addBindValue(QVariant::fromValue(QList<int>{1}));
    EXPECT_FALSE(insert.exec());
    EXPECT_TRUE(insert.lastError().text().contains(u"cannot be sent")) << insert.lastError().text().toStdString();
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM t")), QVariantList{0});
}

QString repeated(const QString &piece, qsizetype units)
{
    QString text;
    while (text.size() < units)
        text += piece;
    return text;
}

TEST_F(OdbcDriverTest, texts_of_any_length_come_back_exactly)
{
    const qsizetype chunk = ado::OdbcColumns::kTextChunk - 1;  // units one read gives
    const auto shortLimit = static_cast<qsizetype>(ado::OdbcParameters::kShortText);
    const QString emoji = QStringLiteral("\U0001F600");
    const QStringList texts{
        QString(chunk - 1, u'a') + emoji,            // a surrogate pair across the first chunk's end
        QString(chunk, u'Ş'),                        // exactly one chunk
        repeated(QStringLiteral("ığüşöçİĞÜŞÖÇ") + emoji, 3 * chunk + 7),
        repeated(kTurkish, shortLimit),              // the longest NVARCHAR(4000)
        repeated(emoji + QStringLiteral("ş"), shortLimit + 1),  // NVARCHAR(MAX)
        repeated(kTurkish, 40'000),
    };
    QSqlQuery insert = query();
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO t(i, s) VALUES (?, ?)")));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        insert.addBindValue(i);
        insert.addBindValue(texts[i]);
        ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
    }
    const QVariantList read = column(QStringLiteral("SELECT s FROM t ORDER BY i"));
    ASSERT_EQ(read.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i)
        EXPECT_TRUE(read[i].toString() == texts[i]) << "text " << i << " of " << texts[i].size() << " units";
}

TEST_F(OdbcDriverTest, one_prepared_statement_runs_many_times_with_values_of_changing_kinds)
{
    QSqlQuery insert = query();
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO t(i, s) VALUES (?, ?)")));
    const quint64 before = roundTrips();
    const QString longest(int(ado::OdbcParameters::kShortText), u'ı');
    for (int i = 0; i < 300; ++i) {
        insert.bindValue(0, i % 5 == 4 ? QVariant() : QVariant(i));
        insert.bindValue(1, i % 3 == 0 ? QVariant(QString()) : i % 3 == 1 ? QVariant(QString::number(i)) : longest);
        ASSERT_TRUE(insert.exec()) << i << insert.lastError().text().toStdString();
        insert.finish();
    }
    EXPECT_EQ(roundTrips() - before, 300u) << "no parameter declared anew";
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM t WHERE s IS NULL")), QVariantList{100});
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM t WHERE i IS NULL")), QVariantList{60});
    EXPECT_EQ(column(QStringLiteral("SELECT sum(i) FROM t WHERE s = i")), QVariantList{12'020});
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM t WHERE s = '%1'").arg(longest)), QVariantList{100});
}

TEST_F(OdbcDriverTest, counts_a_request_per_statement_and_per_transaction_step_and_none_per_row)
{
    EXPECT_EQ(roundTrips(), 1u) << "the table made by SetUp";
    {
        QSqlQuery insert = query();
        ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO t(i) VALUES (?)")));
        EXPECT_EQ(roundTrips(), 1u) << "preparing waits for the first execution";
        for (int i = 0; i < 20; ++i) {
            insert.addBindValue(i);
            ASSERT_TRUE(insert.exec());
        }
        EXPECT_EQ(roundTrips(), 21u);
        insert.addBindValue(QStringLiteral("20"));
        ASSERT_TRUE(insert.exec());
        EXPECT_EQ(roundTrips(), 23u) << "a text where an integer was: unprepared, then executed";
    }
    EXPECT_EQ(roundTrips(), 24u) << "freeing a statement that ran unprepares it";
    {
        QSqlQuery insert = query();
        ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO t(s) VALUES (?)")));
        // Long texts are declared by the next power of two of their length.
        for (const int length : {5000, 8192, 6000, 8193}) {
            insert.addBindValue(QString(length, u'ğ'));
            ASSERT_TRUE(insert.exec());
        }
        EXPECT_EQ(roundTrips(), 29u) << "four executions, one declaration anew";
        ASSERT_TRUE(run(QStringLiteral("DELETE FROM t WHERE s IS NOT NULL")));
    }
    EXPECT_EQ(roundTrips(), 31u);
    EXPECT_EQ(column(QStringLiteral("SELECT i FROM t")).size(), 21);
    EXPECT_EQ(roundTrips(), 32u);
    ASSERT_TRUE(db.transaction());
    ASSERT_TRUE(run(QStringLiteral("DELETE FROM t")));
    ASSERT_TRUE(db.commit());
    EXPECT_EQ(roundTrips(), 36u) << "begin, the statement, commit, back to autocommit";
}

TEST_F(OdbcDriverTest, a_rollback_undoes_and_a_commit_keeps)
{
    ASSERT_TRUE(db.transaction());
    EXPECT_FALSE(db.transaction()) << "no transaction inside another";
    ASSERT_TRUE(run(QStringLiteral("INSERT INTO t(i) VALUES (1)")));
    ASSERT_TRUE(db.rollback());
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM t")), QVariantList{0});

    ASSERT_TRUE(db.transaction());
    ASSERT_TRUE(run(QStringLiteral("INSERT INTO t(i) VALUES (2)")));
    ASSERT_TRUE(db.commit());
    EXPECT_FALSE(db.commit()) << "nothing left to commit";
    EXPECT_EQ(db.driver()->lastError().type(), QSqlError::TransactionError);
    EXPECT_EQ(column(QStringLiteral("SELECT i FROM t")), QVariantList{2});
}

TEST_F(OdbcDriverTest, results_left_unread_are_read_to_the_end_before_the_next_statement)
{
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(run(QStringLiteral("INSERT INTO t(i) VALUES (%1)").arg(i)));
    QSqlQuery select = query();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT i FROM t ORDER BY i")));
    ASSERT_TRUE(select.isSelect());
    ASSERT_TRUE(select.next());
    EXPECT_FALSE(select.nextResult()) << "one result set only";
    EXPECT_FALSE(select.lastError().isValid()) << select.lastError().text().toStdString();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT max(i) FROM t")));
    ASSERT_TRUE(select.next());
    EXPECT_EQ(select.value(0), qlonglong(49));
    select.finish();
    EXPECT_TRUE(run(QStringLiteral("DELETE FROM t"))) << "no statement holds the table";
}

TEST_F(OdbcDriverTest, a_query_outliving_its_connection_says_so_and_runs_again_once_reopened)
{
    ASSERT_TRUE(run(QStringLiteral("INSERT INTO t(i) VALUES (1), (2)")));
    QSqlQuery select = query();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT i FROM t")));
    ASSERT_TRUE(select.next());
    db.close();
    EXPECT_FALSE(select.next());
    EXPECT_FALSE(select.exec(QStringLiteral("SELECT i FROM t")));
    ASSERT_TRUE(db.open());
    EXPECT_EQ(roundTrips(), 0u) << "counted from the new opening";
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT count(*) FROM t")));
    ASSERT_TRUE(select.next());
    EXPECT_EQ(select.value(0), qlonglong(2));
}

TEST_F(OdbcDriverTest, an_error_carries_the_native_code_and_the_message)
{
    QSqlQuery q = query();
    EXPECT_FALSE(q.exec(QStringLiteral("INSERT INTO missing(i) VALUES (1)")));
    const QSqlError error = q.lastError();
    EXPECT_EQ(error.type(), QSqlError::StatementError);
    EXPECT_EQ(error.nativeErrorCode(), "1") << "SQLITE_ERROR";
    EXPECT_TRUE(error.databaseText().contains(u"no such table: missing")) << error.databaseText().toStdString();
    EXPECT_EQ(error.driverText(), "Unable to execute statement");

    // SQLite's driver cuts its messages at about 450 characters: still more
    // than the first read of a message takes.
    EXPECT_FALSE(q.exec(QStringLiteral("SELECT * FROM ") + QStringLiteral("tablo_ğ").repeated(200)));
    const QString message = q.lastError().databaseText();
    EXPECT_GT(message.size(), ado::kFirstMessageRead);
    EXPECT_EQ(message, QStringLiteral("[SQLite]no such table: ") + QStringLiteral("tablo_ğ").repeated(200).left(message.size() - 23));

    QSqlDatabase other = QSqlDatabase::addDatabase(new ado::OdbcDriver, m_name + QStringLiteral("-bad"));
    other.setDatabaseName(QStringLiteral("Driver=No Such Driver"));
    EXPECT_FALSE(other.open());
    EXPECT_EQ(other.lastError().type(), QSqlError::ConnectionError);
    EXPECT_FALSE(other.lastError().databaseText().isEmpty());
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name + QStringLiteral("-bad"));
}

}  // namespace
