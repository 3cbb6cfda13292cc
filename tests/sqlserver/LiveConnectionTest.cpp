// The server forms a connection text may name, and the window's lookup
// lists, against a live SQL Server.
#include "LiveServer.h"
#include "platform/ado/OleDbText.h"
#include "import/LookupLists.h"

namespace {

// TOPLU_SQLSERVER with its Data Source replaced by `dataSource`.
QString withDataSource(const QString &dataSource)
{
    return liveConnectionText() + QStringLiteral(";Data Source=") + dataSource + QStringLiteral(";Connect Timeout=5");
}

// The server TOPLU_SQLSERVER names, taken apart.
ado::ServerAddress liveAddress()
{
    const ado::OleDbText text = ado::OleDbText::parse(liveConnectionText());
    return ado::serverAddress(ado::serverName(text.value({u"Data Source", u"Server"})));
}

QString openWith(const QString &text, bool &opened)
{
    ado::Connection connection(QStringLiteral("live-form-") + QUuid::createUuid().toString(QUuid::Id128));
    connection.setConnectionString(text);
    opened = connection.open();
    return connection.lastOpen().text();
}

QStringList names(const import::lookup::ReadResult &read)
{
    QStringList result;
    for (const import::lookup::Entry &entry : read.value)
        result << entry.name;
    return result;
}

}  // namespace

TEST_F(LiveServer, host_and_host_comma_port_connect)
{
    const QString host = liveAddress().host;
    const int port = liveAddress().port.value_or(1433);
    bool opened = false;
    const QString withPort = openWith(withDataSource(QStringLiteral("%1,%2").arg(host).arg(port)), opened);
    EXPECT_TRUE(opened) << withPort.toStdString();

    // A bare host is the default instance's port, which may be another server's.
    const QString bare = openWith(withDataSource(host), opened);
    if (!opened && port != 1433 && bare.contains(u"unavailable or does not exist"))
        GTEST_SKIP() << "no server answers on " << host.toStdString() << ",1433 for the bare host form: " << bare.toStdString();
    EXPECT_TRUE(opened) << bare.toStdString();
}

TEST_F(LiveServer, an_instance_the_browser_does_not_tell_is_named_with_the_form_to_write_instead)
{
    const QString host = liveAddress().host;
    bool opened = false;
    const QString error = openWith(withDataSource(host + QStringLiteral("\\SQLEXPRESS")), opened);
    if (opened)
        GTEST_SKIP() << "a SQL Server Browser service on " << host.toStdString() << " told the instance's port";
    EXPECT_TRUE(error.contains(QStringLiteral("SQL Server Browser yanıt vermedi; bağlantı metnine port yazın: ") + host +
                               QStringLiteral(",1433")))
        << error.toStdString();
}

TEST_F(LiveServer, the_lookup_lists_read_as_the_window_reads_them)
{
    const import::lookup::ReadResult groups = import::lookup::readRecords(connection.database(), import::lookup::groups().sql);
    ASSERT_TRUE(groups.ok()) << groups.text().toStdString();
    EXPECT_EQ(names(groups), (QStringList{QStringLiteral("Sıcak İçecekler"), QStringLiteral("Tatlılar")}));
    EXPECT_EQ(groups.value.front().id, QStringLiteral("1"));

    const import::lookup::ReadResult printers = import::lookup::readRecords(connection.database(), import::lookup::printers().sql);
    ASSERT_TRUE(printers.ok()) << printers.text().toStdString();
    EXPECT_EQ(names(printers),
              (QStringList{QStringLiteral("Mutfak Yazıcısı"), QStringLiteral("Bar Yazıcısı"), QStringLiteral("Kasa Fişi")}));
    EXPECT_EQ(printers.value.back().id, QStringLiteral("3"));

    const import::lookup::ReadResult taxes = import::lookup::readRecords(connection.database(), import::lookup::taxTemplates().sql);
    ASSERT_TRUE(taxes.ok()) << taxes.text().toStdString();
    EXPECT_EQ(names(taxes), (QStringList{QStringLiteral("KDV %10"), QStringLiteral("KDV %20")}));
}

// A database that holds a point-of-sale table the suite did not make is
// taken for a real one: refused, and nothing of it dropped.
TEST_F(LiveServer, a_database_with_point_of_sale_tables_of_its_own_is_refused_and_kept)
{
    ASSERT_EQ(scratch().drop(), QString());
    ASSERT_EQ(exec(QStringLiteral("CREATE TABLE TaxTemplates (id INT IDENTITY(1,1) PRIMARY KEY, Name NVARCHAR(50))")),
              QString());
    ASSERT_EQ(exec(QStringLiteral("INSERT INTO TaxTemplates (Name) VALUES (N'KDV %20')")), QString());

    const QString refusal = scratch().create(true);
    EXPECT_TRUE(refusal.contains(QStringLiteral("already holds TaxTemplates"))) << refusal.toStdString();
    EXPECT_EQ(scratch().drop(), QString());
    EXPECT_EQ(count(QStringLiteral("TaxTemplates")), 1);

    ASSERT_EQ(exec(QStringLiteral("DROP TABLE TaxTemplates")), QString());
    recreateTables();
}
