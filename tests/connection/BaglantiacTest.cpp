#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "connection/baglanmodul.h"
#include "db/StandInDatabase.h"

namespace {

// The shared connection lives for the whole process, as in the program, so
// this is the only test that opens it: settings text → choice → open.
TEST(Baglantiac, opens_the_database_named_by_the_settings_file_once)
{
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("Şube Kasa.db"));
    ASSERT_EQ(posdb::createStandInDatabase(database, true), QString());
    const QString settings = dir.filePath(QStringLiteral("MenoraSettings.txt"));
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\"?><Settings><ConnectionString>Data Source=%1;User ID=kasa;"
                              "Password=s&amp;cret</ConnectionString></Settings>")
                   .arg(database)
                   .toUtf8());
    file.close();

    baglanmodul::ayarlarioku(settings);
    baglanmodul::chooseConnection();
    ASSERT_EQ(baglanmodul::ayarvar, 1);
    baglanmodul::baglantiac();

    ado::Connection &connection = baglanmodul::baglanti();
    ASSERT_TRUE(connection.isOpen()) << connection.lastOpen().text().toStdString();
    EXPECT_EQ(&connection, &baglanmodul::baglanti());
    EXPECT_EQ(connection.connectionString(), QStringLiteral("Provider=SQLOLEDB.1; Data Source=%1;User ID=kasa;"
                                                            "Password=s&cret")
                                                 .arg(database));
    EXPECT_FALSE(connection.description().contains(QStringLiteral("s&cret")));
    QSqlQuery query = connection.newQuery();
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT COUNT(*) FROM Printers")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 3);
}

}  // namespace
