#include <gtest/gtest.h>

#include "platform/ado/Target.h"
#include "platform/os/WindowsPath.h"

namespace {

using ado::Os;

const QString kFallback = QStringLiteral(
    "Provider=SQLNCLI10.1;Integrated Security=SSPI;Persist Security Info=False;User ID=\";"
    "Initial Catalog=\";Data Source=.\\SQLEXPRESS;"
    "Initial File Name=C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf;Server SPN=");

ado::Target targetOf(const QString &text, Os os)
{
    return ado::chooseTarget(ado::OleDbText::parse(text), os);
}

struct SqliteCase {
    const char *name;
    QString text;
    QString windowsPath;  // expected, before the local mapping
};

class SqliteTargetChoice : public ::testing::TestWithParam<std::tuple<SqliteCase, Os>> {};

TEST_P(SqliteTargetChoice, data_source_with_a_sqlite_suffix_opens_that_file_on_every_system)
{
    const auto &[c, os] = GetParam();
    const ado::Target target = targetOf(c.text, os);
    ASSERT_TRUE(std::holds_alternative<ado::SqliteTarget>(target));
    EXPECT_EQ(std::get<ado::SqliteTarget>(target).path, platform::localPath(c.windowsPath));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteTargetChoice,
    ::testing::Combine(
        ::testing::Values(SqliteCase{"db", "Data Source=demo.db", "demo.db"},
                          SqliteCase{"sqlite_upper_case", "Data Source=C:\\Data\\POS.SQLITE", "C:\\Data\\POS.SQLITE"},
                          SqliteCase{"sqlite3", "Provider=SQLOLEDB.1; Data Source=pos.sqlite3;User ID=sa", "pos.sqlite3"},
                          SqliteCase{"server_synonym", "Server=x.db", "x.db"}),
        ::testing::Values(Os::Windows, Os::Other)),
    [](const auto &info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) == Os::Windows ? "_windows" : "_other");
    });

TEST(Target, fallback_outside_windows_opens_the_db_file_beside_the_mdf)
{
    const ado::Target target = targetOf(kFallback, Os::Other);
    ASSERT_TRUE(std::holds_alternative<ado::SqliteTarget>(target));
    EXPECT_EQ(std::get<ado::SqliteTarget>(target).path,
              platform::localPath(QStringLiteral("C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.db")));
}

TEST(Target, fallback_on_windows_attaches_the_mdf_with_integrated_security)
{
    const ado::Target target = targetOf(kFallback, Os::Windows);
    ASSERT_TRUE(std::holds_alternative<ado::SqlServerTarget>(target));
    const auto &server = std::get<ado::SqlServerTarget>(target);
    EXPECT_EQ(server.server, "localhost\\SQLEXPRESS");
    EXPECT_EQ(server.dataSource, ".\\SQLEXPRESS");
    EXPECT_TRUE(server.integratedSecurity);
    EXPECT_EQ(server.database, "");
    EXPECT_EQ(server.attachFile, "C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf");
}

TEST(Target, sql_login_carries_user_password_and_catalog)
{
    const ado::Target target = targetOf(
        "Provider=SQLOLEDB.1; Data Source=kasa\\POS;Initial Catalog=MenoraPOS;User ID=sa;Password=\"p;w\";"
        "Server SPN=MSSQLSvc/kasa;Connect Timeout=5",
        Os::Other);
    ASSERT_TRUE(std::holds_alternative<ado::SqlServerTarget>(target));
    const auto &server = std::get<ado::SqlServerTarget>(target);
    EXPECT_EQ(server.server, "kasa\\POS");
    EXPECT_EQ(server.database, "MenoraPOS");
    EXPECT_FALSE(server.integratedSecurity);
    EXPECT_EQ(server.userId, "sa");
    EXPECT_EQ(server.password, "p;w");
    EXPECT_EQ(server.serverSpn, "MSSQLSvc/kasa");
    EXPECT_EQ(server.loginTimeoutSeconds, 5);
}

TEST(Target, integrated_security_drops_user_and_password)
{
    for (const char *integrated : {"SSPI", "sspi", "true", "Yes"}) {
        const ado::Target target = targetOf(
            QStringLiteral("Data Source=kasa;Integrated Security=%1;User ID=sa;Password=pw").arg(integrated), Os::Windows);
        const auto &server = std::get<ado::SqlServerTarget>(target);
        EXPECT_TRUE(server.integratedSecurity) << integrated;
        EXPECT_EQ(server.userId, "") << integrated;
        EXPECT_EQ(server.password, "") << integrated;
    }
}

TEST(Target, login_timeout_defaults_to_fifteen_seconds_unless_a_positive_number_is_given)
{
    for (const char *text : {"Data Source=kasa", "Data Source=kasa;Connect Timeout=abc", "Data Source=kasa;Connect Timeout=0"})
        EXPECT_EQ(std::get<ado::SqlServerTarget>(targetOf(text, Os::Other)).loginTimeoutSeconds, 15) << text;
}

struct ServerNameCase {
    QString dataSource;
    QString expected;
};

class ServerName : public ::testing::TestWithParam<ServerNameCase> {};

TEST_P(ServerName, maps_only_the_local_shorthands)
{
    EXPECT_EQ(ado::serverName(GetParam().dataSource), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ServerName,
                         ::testing::Values(ServerNameCase{".", "localhost"},
                                           ServerNameCase{".\\SQLEXPRESS", "localhost\\SQLEXPRESS"},
                                           ServerNameCase{"(LOCAL)", "localhost"},
                                           ServerNameCase{"(local)\\POS", "localhost\\POS"},
                                           ServerNameCase{"kasa\\POS", "kasa\\POS"},
                                           ServerNameCase{"10.0.0.5,1433", "10.0.0.5,1433"},
                                           ServerNameCase{"(local),1500", "localhost,1500"},
                                           ServerNameCase{". ,1500", "localhost,1500"},
                                           ServerNameCase{"..", ".."},
                                           ServerNameCase{"", ""}));

TEST(Target, local_servers_are_recognised_with_instance_or_port)
{
    for (const char *local : {"localhost", "LOCALHOST\\SQLEXPRESS", "127.0.0.1,1433", "::1"})
        EXPECT_TRUE(ado::isLocalServer(local)) << local;
    for (const char *remote : {"kasa", "kasa\\SQLEXPRESS", "10.0.0.5", "localhost.example.com"})
        EXPECT_FALSE(ado::isLocalServer(remote)) << remote;
}

}  // namespace
