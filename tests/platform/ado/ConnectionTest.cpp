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
#include "platform/ado/OleDbText.h"

namespace {

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
    ASSERT_TRUE(open(m_path)) << connection.lastOpen().text().toStdString();
    EXPECT_TRUE(connection.lastOpen().ok());
    EXPECT_EQ(connection.dialect(), ado::Dialect::Sqlite);
    EXPECT_EQ(connection.description(), "pos.db");
    EXPECT_TRUE(connection.newQuery().isForwardOnly());
    EXPECT_EQ(pragma(QStringLiteral("journal_mode")), "wal");
    EXPECT_EQ(pragma(QStringLiteral("synchronous")), "2") << "FULL, so a committed save survives a power cut";
    EXPECT_EQ(connection.roundTrips(), 0u) << "an embedded database has no server to ask";
    EXPECT_EQ(pragma(QStringLiteral("foreign_keys")), "1");
    EXPECT_FALSE(connection.newQuery().exec(
        QStringLiteral("INSERT INTO MenuItemPortions (Name, MenuItemId) VALUES ('Normal', 999)")));

    EXPECT_TRUE(open(m_path)) << "a second open replaces the first: " << connection.lastOpen().text().toStdString();
}

TEST_F(SqliteConnection, read_only_keeps_the_files_journal_mode_and_writes_nothing)
{
    connection.setConnectionString(QStringLiteral("Data Source=") + m_path);
    ASSERT_TRUE(connection.open(ado::Access::ReadOnly)) << connection.lastOpen().text().toStdString();
    EXPECT_EQ(pragma(QStringLiteral("journal_mode")), "delete");
    EXPECT_FALSE(connection.newQuery().exec(
        QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES ('X', '1', 0, 'Çay')")));
    EXPECT_EQ(pragma(QStringLiteral("foreign_keys")), "1");
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
    EXPECT_TRUE(connection.lastOpen().text().contains(u"veritabanı dosyası yok: ")) << connection.lastOpen().text().toStdString();
    EXPECT_EQ(connection.description(), "Menora POS.db");
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString notes = m_dir.filePath(QStringLiteral("notes.db"));
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_FALSE(open(notes));
    EXPECT_FALSE(connection.isOpen());
    EXPECT_FALSE(connection.lastOpen().ok());
}

struct MessageCase {
    const char *name;
    const char *text;         // %1 the password, %2 a folder
    const char *says;         // part of the message, %1 the password
    const char *description;  // %1 the password
    bool needsOdbc = false;
    bool junkFile = false;    // the file the text names exists and is no database
};

void PrintTo(const MessageCase &c, std::ostream *os)
{
    *os << c.name;
}

struct Outcome {
    QString error;
    QString description;
};

// A password that occurs in no message, to learn what a message says unmasked.
const QString kNeutralPassword = QStringLiteral("Qz7#Wx");

Outcome openWith(const MessageCase &c, const QString &password, const QTemporaryDir &dir)
{
    const QString text = QString::fromUtf8(c.text).replace(QStringLiteral("%1"), password).replace(QStringLiteral("%2"), dir.path());
    if (c.junkFile) {
        QFile file(ado::OleDbText::parse(text).value(u"Data Source"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    ado::Connection connection(uniqueName());
    connection.setConnectionString(text);
    EXPECT_FALSE(connection.open());
    return {connection.lastOpen().text(), connection.description()};
}

class ConnectionMessages : public ::testing::TestWithParam<std::tuple<MessageCase, const char *>> {};

// Nothing here echoes the password, so every message must read exactly as it
// would with a password found nowhere: the user id, the server, database and
// file names, and the driver's own words all left alone.
TEST_P(ConnectionMessages, read_as_written_whatever_the_password)
{
    const auto &[c, password] = GetParam();
    if (c.needsOdbc && !QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        GTEST_SKIP() << "the Qt ODBC driver is not installed";
    const QString pw = QString::fromUtf8(password);
    QTemporaryDir dir;
    const Outcome neutral = openWith(c, kNeutralPassword, dir);
    const Outcome actual = openWith(c, pw, dir);
    EXPECT_EQ(actual.error, QString(neutral.error).replace(kNeutralPassword, pw));
    EXPECT_TRUE(actual.error.contains(QString::fromUtf8(c.says).arg(pw))) << actual.error.toStdString();
    EXPECT_EQ(actual.description, QString::fromUtf8(c.description).arg(pw));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConnectionMessages,
    ::testing::Combine(
        ::testing::Values(
            MessageCase{"unclosed_quote",
                        "Provider=SQLOLEDB.1; Data Source=KASA-PC\\SQLEXPRESS;Initial Catalog=MaPOS;User ID=sa;"
                        "Password=\"%1",
                        "düzgün kapanmıyor", ""},
            MessageCase{"no_server", "Provider=SQLOLEDB.1; Initial Catalog=MaPOS;User ID=sa;Password=%1",
                        "sunucu (Data Source) yazılı değil", "MaPOS"},
            // Refused before any network traffic, so the title's server name is real.
            MessageCase{"refused_by_the_odbc_builder",
                        "Provider=SQLOLEDB.1; Data Source=KASA-PC\\SQLEXPRESS;Initial Catalog=MaPOS;User ID=sa;"
                        "Password=%1;Server SPN=ka}sa",
                        "FreeTDS sürücüsü", "KASA-PC\\SQLEXPRESS / MaPOS", true},
            // Port 1 on the loopback address: nothing listens there.
            MessageCase{"server_unreachable",
                        "Provider=SQLOLEDB.1; Data Source=127.0.0.1,1;Initial Catalog=MaPOS;User ID=sa;Password=%1;"
                        "Connect Timeout=2",
                        "127.0.0.1,1 sunucusuna bağlanılamadı: ", "127.0.0.1,1 / MaPOS", true},
            MessageCase{"sqlite_file_missing", "Data Source=%2/KASA-PC %1.db;User ID=sa;Password=%1",
                        "KASA-PC %1.db", "KASA-PC %1.db"},
            MessageCase{"sqlite_file_no_database", "Data Source=%2/Ma%1POS.db;User ID=sa;Password=%1",
                        "Ma%1POS.db", "Ma%1POS.db", false, true}),
        ::testing::Values("a", "PC", "Kasa2024!Gzl")),
    [](const auto &info) {
        const std::string password = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) + "_password_of_" + std::to_string(password.size());
    });

TEST(Connection, unreachable_sql_server_fails_once_with_a_login_timeout)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        GTEST_SKIP() << "the Qt ODBC driver is not installed";
    ado::Connection connection(uniqueName());
    // Port 1 on the loopback address: nothing listens there.
    connection.setConnectionString(
        QStringLiteral("Provider=SQLOLEDB.1; Data Source=127.0.0.1,1;Initial Catalog=MenoraPOS;"
                       "User ID=kasa;Password=\"p;w\";Connect Timeout=3"));

    EXPECT_FALSE(connection.open());
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(connection.dialect(), ado::Dialect::None);
    EXPECT_FALSE(connection.lastOpen().ok());
    EXPECT_EQ(connection.description(), "127.0.0.1,1 / MenoraPOS");
    EXPECT_TRUE(connection.database().connectOptions().contains(u"SQL_ATTR_LOGIN_TIMEOUT=3"));
}

}  // namespace
