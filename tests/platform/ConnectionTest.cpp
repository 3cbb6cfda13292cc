#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <ostream>

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

// A temporary folder holding the stand-in database "pos.db".
class SqliteConnection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(posdb::createStandInDatabase(m_path, false), QString());
    }

    bool open(const QString &path)
    {
        connection.setConnectionString(QStringLiteral("Provider=SQLOLEDB.1; Data Source=") + path);
        return connection.open();
    }

    QString pragma(const QString &name)
    {
        QSqlQuery query = connection.newQuery();
        return query.exec(QStringLiteral("PRAGMA ") + name) && query.next() ? query.value(0).toString()
                                                                            : QStringLiteral("<failed>");
    }

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("pos.db"));
    ado::Connection connection{uniqueName()};
};

TEST_F(SqliteConnection, opens_an_existing_file_with_wal_full_sync_and_foreign_keys)
{
    ASSERT_TRUE(open(m_path)) << connection.lastError().toStdString();
    EXPECT_EQ(connection.lastError(), "");
    EXPECT_EQ(connection.dialect(), ado::Dialect::Sqlite);
    EXPECT_EQ(connection.description(), "pos.db");
    EXPECT_TRUE(connection.newQuery().isForwardOnly());
    EXPECT_EQ(pragma(QStringLiteral("journal_mode")), "wal");
    EXPECT_EQ(pragma(QStringLiteral("synchronous")), "2") << "FULL, so a committed save survives a power cut";
    EXPECT_EQ(pragma(QStringLiteral("foreign_keys")), "1");
    EXPECT_FALSE(connection.newQuery().exec(
        QStringLiteral("INSERT INTO MenuItemPortions (Name, MenuItemId) VALUES ('Normal', 999)")));

    EXPECT_TRUE(open(m_path)) << "a second open replaces the first: " << connection.lastError().toStdString();
}

TEST_F(SqliteConnection, turkish_letters_and_characters_beyond_the_bmp_round_trip)
{
    ASSERT_TRUE(open(m_path));
    const QString name = QString::fromUtf8("Çığ köfte İŞÖÜĞ ğüşıöç \xF0\x9F\x8C\xB6\xEF\xB8\x8F \xF0\x9F\x8D\xB5");
    EXPECT_TRUE(connection.canSendExactly(name));

    QSqlQuery insert = connection.newQuery();
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES (?, '', 0, ?)")));
    insert.addBindValue(name);
    insert.addBindValue(name);
    ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();

    QSqlQuery select = connection.newQuery();
    ASSERT_TRUE(select.exec(QStringLiteral("SELECT GroupCode, Name, length(Name) FROM MenuItems")));
    ASSERT_TRUE(select.next());
    EXPECT_EQ(select.value(0).toString(), name);
    EXPECT_EQ(select.value(1).toString(), name);
    EXPECT_EQ(select.value(2).toInt(), name.toUcs4().size());
}

TEST_F(SqliteConnection, a_missing_file_or_one_that_is_no_database_fails_closed_and_nothing_is_created)
{
    ASSERT_TRUE(open(m_path));
    const QString missing = m_dir.filePath(QStringLiteral("Menora POS.db"));
    EXPECT_FALSE(open(missing));
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(connection.dialect(), ado::Dialect::None);
    EXPECT_TRUE(connection.lastError().contains(u"does not exist")) << connection.lastError().toStdString();
    EXPECT_EQ(connection.description(), "Menora POS.db");
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString notes = m_dir.filePath(QStringLiteral("notes.db"));
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_FALSE(open(notes));
    EXPECT_FALSE(connection.isOpen());
    EXPECT_FALSE(connection.lastError().isEmpty());
}

struct RefusedText {
    const char *name;
    const char *text;  // %1 a folder, %2 the user id, %3 the password
    const char *says;
};

void PrintTo(const RefusedText &c, std::ostream *os)
{
    *os << c.name;
}

class RefusedConnection : public ::testing::TestWithParam<RefusedText> {};

TEST_P(RefusedConnection, fails_with_a_reason_that_holds_no_user_id_or_password)
{
    QTemporaryDir dir;
    ado::Connection connection(uniqueName());
    connection.setConnectionString(QString::fromUtf8(GetParam().text)
                                       .replace(QStringLiteral("%1"), dir.path())
                                       .replace(QStringLiteral("%2"), kUser)
                                       .replace(QStringLiteral("%3"), kPassword));
    EXPECT_FALSE(connection.open());
    EXPECT_FALSE(connection.isOpen());
    EXPECT_FALSE(connection.lastError().isEmpty());
    EXPECT_TRUE(connection.lastError().contains(QString::fromUtf8(GetParam().says)));
    expectNoSecrets(connection);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedConnection,
    ::testing::Values(
        // The driver's message and the description would name the file, and so the user id.
        RefusedText{"file_named_like_the_user", "Data Source=%1/%2.db;User ID=%2;Password=\"%3\"", "does not exist"},
        RefusedText{"unclosed_quote", "Data Source=kasa;User ID=%2;Password=\"%3", ""},
        RefusedText{"no_server", "Provider=SQLOLEDB.1; Initial Catalog=POS;User ID=%2;Password=\"%3\"", "no server"}),
    [](const auto &info) { return std::string(info.param.name); });

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
