// Runs against a live SQL Server only when TOPLU_SQLSERVER holds an OLE DB
// connection text naming one, for example
//   Data Source=127.0.0.1,1433;Initial Catalog=posdb;User ID=toplu;Password=...
// Run it once per collation the servers at hand have.
#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QSqlError>
#include <QSqlQuery>

#include "platform/ado/Connection.h"

namespace {

class SqlServerText : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString text = qEnvironmentVariable("TOPLU_SQLSERVER");
        if (text.isEmpty())
            GTEST_SKIP() << "TOPLU_SQLSERVER names no SQL Server";
        connection.setConnectionString(text);
        ASSERT_TRUE(connection.open()) << connection.lastOpen().text().toStdString();
        ASSERT_EQ(connection.dialect(), ado::Dialect::SqlServer);
    }

    ado::Connection connection{QStringLiteral("sqlserver-text")};
};

TEST_F(SqlServerText, turkish_names_arrive_as_nvarchar_and_come_back_exactly)
{
    QSqlQuery create = connection.newQuery();
    ASSERT_TRUE(create.exec(QStringLiteral("CREATE TABLE #names(id int IDENTITY PRIMARY KEY, name nvarchar(50))")))
        << create.lastError().text().toStdString();

    const QStringList names{
        QStringLiteral("şğıİŞĞüöç").repeated(6).left(50),
        QString(25, u'ı') + QString(25, u'İ'),
        // No single-byte code page holds these: only an NVARCHAR parameter
        // brings them, whatever the database's collation.
        QStringLiteral("Ω ağaç \U0001F600 ŞİŞ"),
    };
    QSqlQuery insert = connection.newQuery();
    ASSERT_TRUE(insert.prepare(QStringLiteral(
        "SET NOCOUNT ON; INSERT INTO #names(name) VALUES (?); SELECT CAST(SCOPE_IDENTITY() AS bigint)")));
    const quint64 before = connection.roundTrips();
    QVariantList ids;
    for (const QString &name : names) {
        insert.addBindValue(name);
        ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
        while (!insert.isSelect() && insert.nextResult()) {
        }
        ASSERT_TRUE(insert.next()) << insert.lastError().text().toStdString();
        ids << insert.value(0);
        insert.finish();
    }
    EXPECT_EQ(connection.roundTrips() - before, quint64(names.size())) << "one request per execution";

    QSqlQuery select = connection.newQuery();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT id, name, LEN(name) FROM #names ORDER BY id")));
    for (qsizetype i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(select.next()) << select.lastError().text().toStdString();
        EXPECT_EQ(select.value(0), ids[i]);
        EXPECT_EQ(select.value(1).toString(), names[i]);
        EXPECT_EQ(select.value(2).toLongLong(), names[i].toUcs4().size());
    }
    EXPECT_FALSE(select.next());
}

TEST_F(SqlServerText, values_read_as_their_qt_types_and_errors_carry_the_server_message_number)
{
    QSqlQuery q = connection.newQuery();
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT CAST(12.50 AS decimal(10,2)), CAST(1 AS bit), CAST(NULL AS int)")));
    ASSERT_TRUE(q.next()) << q.lastError().text().toStdString();
    EXPECT_EQ(q.value(0), 12.5);
    EXPECT_EQ(q.value(1), true);
    EXPECT_EQ(q.value(2), QVariant(QMetaType::fromType<qlonglong>()));
    q.finish();

    // The failure comes after a result without columns: the execution still fails.
    ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE #e(x int)")));
    EXPECT_FALSE(q.exec(QStringLiteral("INSERT INTO #e VALUES (1); THROW 51000, N'Şube kapalı', 1")));
    EXPECT_EQ(q.lastError().nativeErrorCode(), "51000");
    EXPECT_TRUE(q.lastError().databaseText().endsWith(u"Şube kapalı")) << q.lastError().text().toStdString();
}

}  // namespace
