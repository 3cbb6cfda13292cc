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

TEST(SqlServerText, turkish_names_arrive_as_nvarchar_and_come_back_exactly)
{
    const QString text = qEnvironmentVariable("TOPLU_SQLSERVER");
    if (text.isEmpty())
        GTEST_SKIP() << "TOPLU_SQLSERVER names no SQL Server";
    ado::Connection connection(QStringLiteral("sqlserver-text"));
    connection.setConnectionString(text);
    ASSERT_TRUE(connection.open()) << connection.lastError().toStdString();
    ASSERT_EQ(connection.dialect(), ado::Dialect::SqlServer);
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

}  // namespace
