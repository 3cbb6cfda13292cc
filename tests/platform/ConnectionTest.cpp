#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "db/StandInDatabase.h"
#include "platform/ado/Connection.h"

namespace {

const QString kUser = QStringLiteral("gizliKasiyer");
const QString kPassword = QStringLiteral("Şifre-99;x");

QString uniqueName()
{
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QStringLiteral("ado-%1-%2").arg(info->test_suite_name(), info->name());
}

// A temporary folder holding the stand-in database "pos.db".
class SqliteConnection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("pos.db"));
        ASSERT_EQ(posdb::createStandInDatabase(m_path, false), QString());
    }

    QString pragma(const ado::Connection &connection, const QString &name)
    {
        QSqlQuery query = connection.newQuery();
        if (!query.exec(QStringLiteral("PRAGMA ") + name) || !query.next())
            return QStringLiteral("<failed>");
        return query.value(0).toString();
    }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(SqliteConnection, opens_an_existing_file_named_by_the_data_source)
{
    ado::Connection connection(uniqueName());
    connection.setConnectionString(QStringLiteral("Provider=SQLOLEDB.1; Data Source=") + m_path);
    EXPECT_TRUE(connection.open()) << connection.lastError().toStdString();
    EXPECT_TRUE(connection.isOpen());
    EXPECT_EQ(connection.lastError(), "");
    EXPECT_EQ(connection.dialect(), ado::Dialect::Sqlite);
    EXPECT_EQ(connection.description(), "pos.db");
    EXPECT_TRUE(connection.newQuery().isForwardOnly());
}

TEST_F(SqliteConnection, opening_sets_wal_normal_sync_and_foreign_keys)
{
    ado::Connection connection(uniqueName());
    connection.setConnectionString(QStringLiteral("Data Source=") + m_path);
    ASSERT_TRUE(connection.open());
    EXPECT_EQ(pragma(connection, QStringLiteral("journal_mode")), "wal");
    EXPECT_EQ(pragma(connection, QStringLiteral("synchronous")), "1");
    EXPECT_EQ(pragma(connection, QStringLiteral("foreign_keys")), "1");

    QSqlQuery orphan = connection.newQuery();
    EXPECT_FALSE(orphan.exec(QStringLiteral("INSERT INTO MenuItemPortions (Name, MenuItemId) VALUES ('Normal', 999)")));
}

TEST_F(SqliteConnection, turkish_letters_and_characters_beyond_the_bmp_round_trip)
{
    ado::Connection connection(uniqueName());
    connection.setConnectionString(QStringLiteral("Data Source=") + m_path);
    ASSERT_TRUE(connection.open());
    const QString name = QString::fromUtf8("Çığ köfte İŞÖÜĞ ğüşıöç \xF0\x9F\x8C\xB6\xEF\xB8\x8F \xF0\x9F\x8D\xB5");
    EXPECT_TRUE(connection.canSendExactly(name));

    QSqlQuery insert = connection.newQuery();
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES (?, ?, 0, ?)")));
    insert.addBindValue(name);
    insert.addBindValue(QStringLiteral("8690000000001"));
    insert.addBindValue(name);
    ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();

    QSqlQuery select = connection.newQuery();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT GroupCode, Name, length(Name) FROM MenuItems")));
    ASSERT_TRUE(select.next());
    EXPECT_EQ(select.value(0).toString(), name);
    EXPECT_EQ(select.value(1).toString(), name);
    EXPECT_EQ(select.value(2).toInt(), name.toUcs4().size());
    EXPECT_FALSE(select.next());
}

TEST_F(SqliteConnection, a_second_open_replaces_the_first_without_error)
{
    ado::Connection connection(uniqueName());
    connection.setConnectionString(QStringLiteral("Data Source=") + m_path);
    ASSERT_TRUE(connection.open());
    EXPECT_TRUE(connection.open()) << connection.lastError().toStdString();
    EXPECT_TRUE(connection.isOpen());
}

TEST_F(SqliteConnection, a_file_that_is_no_database_fails_to_open)
{
    const QString path = m_dir.filePath(QStringLiteral("notes.db"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();

    ado::Connection connection(uniqueName());
    connection.setConnectionString(QStringLiteral("Data Source=") + path);
    EXPECT_FALSE(connection.open());
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(connection.dialect(), ado::Dialect::None);
    EXPECT_FALSE(connection.lastError().isEmpty());
}

TEST(Connection, a_missing_sqlite_file_is_a_failure_and_is_not_created)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Menora POS.db"));
    ado::Connection connection(uniqueName());
    connection.setConnectionString(QStringLiteral("Data Source=") + path);

    EXPECT_FALSE(connection.open());
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(connection.dialect(), ado::Dialect::None);
    EXPECT_TRUE(connection.lastError().contains(u"does not exist")) << connection.lastError().toStdString();
    EXPECT_EQ(connection.description(), "Menora POS.db");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// Every failure message and the description must be free of the user id,
// the password and the connection text.
void expectNoSecrets(const ado::Connection &connection)
{
    for (const QString &text : {connection.lastError(), connection.description()}) {
        EXPECT_FALSE(text.contains(kUser, Qt::CaseInsensitive)) << "user id leaked";
        EXPECT_FALSE(text.contains(kPassword, Qt::CaseInsensitive)) << "password leaked";
        EXPECT_FALSE(text.contains(connection.connectionString())) << "connection text leaked";
    }
}

TEST(Connection, failure_text_and_description_hold_no_user_id_or_password)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The user id is also the file's name, so the driver's message and the
    // description would name it if nothing cleaned them.
    const QString path = dir.filePath(kUser + QStringLiteral(".db"));
    ado::Connection connection(uniqueName());
    connection.setConnectionString(
        QStringLiteral("Data Source=%1;User ID=%2;Password=\"%3\"").arg(path, kUser, kPassword));
    EXPECT_FALSE(connection.open());
    EXPECT_FALSE(connection.lastError().isEmpty());
    expectNoSecrets(connection);
}

TEST(Connection, a_malformed_text_fails_without_quoting_it)
{
    ado::Connection connection(uniqueName());
    connection.setConnectionString(
        QStringLiteral("Data Source=kasa;User ID=%1;Password=\"%2").arg(kUser, kPassword));
    EXPECT_FALSE(connection.open());
    EXPECT_FALSE(connection.isOpen());
    EXPECT_FALSE(connection.lastError().isEmpty());
    expectNoSecrets(connection);
}

TEST(Connection, a_text_without_a_server_fails_clearly)
{
    ado::Connection connection(uniqueName());
    connection.setConnectionString(QStringLiteral("Provider=SQLOLEDB.1; Initial Catalog=MenoraPOS"));
    EXPECT_FALSE(connection.open());
    EXPECT_TRUE(connection.lastError().contains(u"no server")) << connection.lastError().toStdString();
}

TEST(Connection, unreachable_sql_server_fails_once_with_a_login_timeout_and_no_secrets)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        GTEST_SKIP() << "the Qt ODBC driver is not installed";
    ado::Connection connection(uniqueName());
    // Port 1 on the loopback address: nothing listens there.
    connection.setConnectionString(
        QStringLiteral("Provider=SQLOLEDB.1; Data Source=127.0.0.1,1;Initial Catalog=MenoraPOS;"
                       "User ID=%1;Password=\"%2\";Connect Timeout=3")
            .arg(kUser, kPassword));

    EXPECT_FALSE(connection.open());
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(connection.dialect(), ado::Dialect::None);
    EXPECT_FALSE(connection.lastError().isEmpty());
    EXPECT_EQ(connection.description(), "127.0.0.1,1 / MenoraPOS");
    EXPECT_TRUE(connection.database().connectOptions().contains(u"SQL_ATTR_LOGIN_TIMEOUT=3"));
    expectNoSecrets(connection);
}

}  // namespace
