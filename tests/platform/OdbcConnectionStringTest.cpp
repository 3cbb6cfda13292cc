#include <gtest/gtest.h>

#include <QFile>

#include "platform/ado/OdbcConnectionString.h"

namespace {

using ado::Os;

const QString kDriver18 = QStringLiteral("ODBC Driver 18 for SQL Server");
const QString kDriver17 = QStringLiteral("ODBC Driver 17 for SQL Server");
const QString kNative11 = QStringLiteral("SQL Server Native Client 11.0");
const QString kNative10 = QStringLiteral("SQL Server Native Client 10.0");
const QString kLegacy = QStringLiteral("SQL Server");

struct DriverChoiceCase {
    const char *name;
    QStringList installed;
    Os os;
    QString expected;
};

class DriverChoice : public ::testing::TestWithParam<DriverChoiceCase> {};

TEST_P(DriverChoice, picks_the_best_driver_for_the_system)
{
    EXPECT_EQ(ado::chooseOdbcDriver(GetParam().installed, GetParam().os), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriverChoice,
    ::testing::Values(
        DriverChoiceCase{"all_installed", {kLegacy, kNative10, kNative11, kDriver17, kDriver18}, Os::Windows, kDriver18},
        DriverChoiceCase{"seventeen", {kLegacy, kDriver17, "PostgreSQL Unicode"}, Os::Windows, kDriver17},
        DriverChoiceCase{"native_client_11", {kNative10, kNative11, kLegacy}, Os::Windows, kNative11},
        DriverChoiceCase{"native_client_10", {kLegacy, kNative10}, Os::Windows, kNative10},
        DriverChoiceCase{"only_the_built_in", {kLegacy}, Os::Windows, kLegacy},
        DriverChoiceCase{"nothing_listed", {}, Os::Windows, kLegacy},
        DriverChoiceCase{"name_case_differs", {"odbc driver 17 for sql server"}, Os::Windows, kDriver17},
        DriverChoiceCase{"other_system_uses_freetds", {kDriver18, "FreeTDS"}, Os::Other, "FreeTDS"},
        DriverChoiceCase{"other_system_without_list", {}, Os::Other, "FreeTDS"}),
    [](const auto &info) { return std::string(info.param.name); });

ado::SqlServerTarget sqlLogin(const QString &server, const QString &password)
{
    ado::SqlServerTarget target;
    target.server = server;
    target.database = QStringLiteral("MenoraPOS");
    target.userId = QStringLiteral("kasiyer");
    target.password = password;
    return target;
}

ado::SqlServerTarget windowsFallback()
{
    ado::SqlServerTarget target;
    target.server = QStringLiteral("localhost\\SQLEXPRESS");
    target.integratedSecurity = true;
    target.attachFile = QStringLiteral("C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf");
    return target;
}

TEST(OdbcConnectionString, freetds_string_braces_values_and_sets_protocol_and_charset)
{
    const ado::OdbcConnectionString built = ado::odbcConnectionString(sqlLogin("kasa\\POS", "p;w}d="), "FreeTDS");
    ASSERT_TRUE(built.ok()) << built.error.toStdString();
    EXPECT_EQ(built.text, "Driver={FreeTDS};Server={kasa\\POS};Database={MenoraPOS};UID={kasiyer};PWD={p;w}d=};"
                          "TDS_Version=7.4;ClientCharset=UTF-8;");
}

TEST(OdbcConnectionString, freetds_refuses_a_value_it_would_cut_short)
{
    const ado::OdbcConnectionString built = ado::odbcConnectionString(sqlLogin("kasa", "ab};Gizli"), "FreeTDS");
    EXPECT_FALSE(built.ok());
    EXPECT_TRUE(built.text.isEmpty());
    EXPECT_TRUE(built.error.contains(u"password"));
    EXPECT_FALSE(built.error.contains(u"Gizli"));
}

TEST(OdbcConnectionString, freetds_takes_a_closing_brace_at_the_end_of_a_value)
{
    const ado::OdbcConnectionString built = ado::odbcConnectionString(sqlLogin("kasa", "ab}"), "FreeTDS");
    ASSERT_TRUE(built.ok());
    EXPECT_TRUE(built.text.contains(u"PWD={ab}};"));
}

class MicrosoftDriverString : public ::testing::TestWithParam<QString> {};

TEST_P(MicrosoftDriverString, sql_login_doubles_closing_braces)
{
    const ado::OdbcConnectionString built = ado::odbcConnectionString(sqlLogin("kasa\\POS", "a}b;c"), GetParam());
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built.text, QStringLiteral("Driver={%1};Server={kasa\\POS};Database={MenoraPOS};UID={kasiyer};"
                                         "PWD={a}}b;c};")
                              .arg(GetParam()));
}

TEST_P(MicrosoftDriverString, fallback_attaches_the_file_with_a_trusted_connection)
{
    const ado::OdbcConnectionString built = ado::odbcConnectionString(windowsFallback(), GetParam());
    ASSERT_TRUE(built.ok());
    const QString trust = GetParam() == kDriver18 ? QStringLiteral("TrustServerCertificate=yes;") : QString();
    EXPECT_EQ(built.text, QStringLiteral("Driver={%1};Server={localhost\\SQLEXPRESS};Trusted_Connection=Yes;"
                                         "AttachDbFilename={C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf};%2")
                              .arg(GetParam(), trust));
}

INSTANTIATE_TEST_SUITE_P(Drivers, MicrosoftDriverString,
                         ::testing::Values(kDriver18, kDriver17, kNative11, kNative10, kLegacy));

TEST(OdbcConnectionString, driver_18_trusts_no_certificate_of_a_remote_server)
{
    const ado::OdbcConnectionString built = ado::odbcConnectionString(sqlLogin("kasa\\SQLEXPRESS", "pw"), kDriver18);
    ASSERT_TRUE(built.ok());
    EXPECT_FALSE(built.text.contains(u"TrustServerCertificate"));
}

TEST(OdbcConnectionString, server_spn_is_passed_when_given)
{
    ado::SqlServerTarget target = windowsFallback();
    target.serverSpn = QStringLiteral("MSSQLSvc/kasa.example:1433");
    EXPECT_TRUE(ado::odbcConnectionString(target, kDriver17).text.contains(u"ServerSPN={MSSQLSvc/kasa.example:1433};"));
}

TEST(OdbcConnectionString, a_value_mentioning_dsn_is_refused_for_every_driver)
{
    for (const QString &driver : {QStringLiteral("FreeTDS"), kDriver17}) {
        const ado::OdbcConnectionString built = ado::odbcConnectionString(sqlLogin("kasa", "my.DSNpass"), driver);
        EXPECT_FALSE(built.ok()) << driver.toStdString();
        EXPECT_FALSE(built.error.contains(u"my.DSNpass"));
    }
}

TEST(OdbcConnectionString, driver_manager_lists_the_registered_drivers)
{
    QFile registry(QStringLiteral("/etc/odbcinst.ini"));
    if (!registry.open(QIODevice::ReadOnly) || !registry.readAll().contains("[FreeTDS]"))
        GTEST_SKIP() << "no FreeTDS entry in /etc/odbcinst.ini on this machine";
    EXPECT_TRUE(ado::installedOdbcDrivers().contains(u"FreeTDS"));
}

}  // namespace
