#include <gtest/gtest.h>

#include <QFile>

#include <ostream>

#include "platform/ado/OdbcConnectionString.h"
#include "tests/common/NamedCases.h"

namespace {

using ado::Os;

const QString kDriver18 = QStringLiteral("ODBC Driver 18 for SQL Server");
const QString kDriver17 = QStringLiteral("ODBC Driver 17 for SQL Server");
const QString kNative11 = QStringLiteral("SQL Server Native Client 11.0");
const QString kNative10 = QStringLiteral("SQL Server Native Client 10.0");
const QString kLegacy = QStringLiteral("SQL Server");
const QString kFreeTds = QStringLiteral("FreeTDS");

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
        DriverChoiceCase{"nothing_listed", {}, Os::Windows, kLegacy},
        DriverChoiceCase{"name_case_differs", {"odbc driver 17 for sql server"}, Os::Windows, kDriver17},
        DriverChoiceCase{"other_system_uses_freetds", {kDriver18, kFreeTds}, Os::Other, kFreeTds},
        DriverChoiceCase{"other_system_without_list", {}, Os::Other, kFreeTds}),
    ByName());

ado::SqlServerTarget sqlLogin(const QString &password)
{
    ado::SqlServerTarget target;
    target.server = QStringLiteral("kasa\\POS");
    target.database = QStringLiteral("MenoraPOS");
    target.userId = QStringLiteral("kasiyer");
    target.password = password;
    return target;
}

struct LoginCase {
    const char *name;
    QString driver;
    QString password;
    const char *braced;  // the password as the string carries it; nullptr: refused
};

void PrintTo(const LoginCase &c, std::ostream *os)
{
    *os << c.name;
}

class SqlLogin : public ::testing::TestWithParam<LoginCase> {};

TEST_P(SqlLogin, braces_values_by_the_driver_family_or_refuses_what_it_cannot_carry)
{
    const LoginCase &c = GetParam();
    const ado::OdbcConnectionString built = ado::odbcConnectionString(sqlLogin(c.password), c.driver);
    if (!c.braced) {
        EXPECT_FALSE(built.ok());
        EXPECT_TRUE(built.value.isEmpty());
        EXPECT_FALSE(built.reason().contains(c.password)) << "the error quotes the password";
        return;
    }
    ASSERT_TRUE(built.ok()) << built.reason().toStdString();
    const QString tail = c.driver == kFreeTds    ? QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;")
                         : c.driver == kDriver18 ? QStringLiteral("Encrypt=Optional;")
                                                 : QString();
    EXPECT_EQ(built.value, QStringLiteral("Driver={%1};Server={kasa\\POS};Database={MenoraPOS};UID={kasiyer};PWD={%2};%3")
                              .arg(c.driver, QString::fromUtf8(c.braced), tail));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqlLogin,
    ::testing::Values(LoginCase{"freetds_takes_braces_and_semicolons", kFreeTds, "p;w{d=", "p;w{d="},
                      LoginCase{"freetds_takes_closing_braces_at_the_end", kFreeTds, "ab}}", "ab}}"},
                      LoginCase{"freetds_refuses_a_closing_brace_the_driver_manager_would_end_at", kFreeTds, "p;w}d=",
                                nullptr},
                      LoginCase{"freetds_refuses_a_value_it_would_cut_short", kFreeTds, "ab};Gizli", nullptr},
                      LoginCase{"freetds_takes_a_dsn_mention", kFreeTds, "my.DSNpass", "my.DSNpass"},
                      LoginCase{"microsoft_doubles_closing_braces", kDriver17, "a}b;c", "a}}b;c"},
                      LoginCase{"microsoft_takes_a_dsn_mention", kDriver17, "my.DSNpass", "my.DSNpass"},
                      LoginCase{"driver_18_encrypts_only_on_request", kDriver18, "pw", "pw"}),
    ByName());

class WindowsFallback : public ::testing::TestWithParam<QString> {};

TEST_P(WindowsFallback, attaches_the_file_with_a_trusted_connection)
{
    ado::SqlServerTarget target;
    target.server = QStringLiteral("localhost\\SQLEXPRESS");
    target.integratedSecurity = true;
    target.attachFile = QStringLiteral("C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf");
    target.serverSpn = QStringLiteral("MSSQLSvc/kasa:1433");
    const ado::OdbcConnectionString built = ado::odbcConnectionString(target, GetParam());
    ASSERT_TRUE(built.ok());
    const QString trust =
        GetParam() == kDriver18 ? QStringLiteral("Encrypt=Optional;TrustServerCertificate=yes;") : QString();
    EXPECT_EQ(built.value, QStringLiteral("Driver={%1};Server={localhost\\SQLEXPRESS};Trusted_Connection=Yes;"
                                         "AttachDbFilename={C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf};"
                                         "ServerSPN={MSSQLSvc/kasa:1433};%2")
                              .arg(GetParam(), trust));
}

INSTANTIATE_TEST_SUITE_P(Drivers, WindowsFallback, ::testing::Values(kDriver18, kDriver17, kNative11, kNative10, kLegacy));

struct EncryptionCase {
    const char *name;
    const char *text;      // the OLE DB text after the provider
    QString driver;
    const char *expected;  // the encryption and trust pairs sent, in order; nullptr: refused
};

void PrintTo(const EncryptionCase &c, std::ostream *os)
{
    *os << c.name;
}

// The pairs of `odbc` that speak of encryption or of the certificate.
QString securityPairs(const QString &odbc)
{
    QStringList pairs;
    for (const QString &pair : odbc.split(u';', Qt::SkipEmptyParts)) {
        const QString key = pair.section(u'=', 0, 0);
        if (key == u"Encrypt" || key == u"Encryption" || key == u"TrustServerCertificate")
            pairs << pair;
    }
    return pairs.join(u';');
}

class EncryptionAndTrust : public ::testing::TestWithParam<EncryptionCase> {};

TEST_P(EncryptionAndTrust, reach_each_driver_in_its_own_words)
{
    const EncryptionCase &c = GetParam();
    const ado::Target target = ado::chooseTarget(ado::OleDbText::parse(QString::fromUtf8(c.text)), Os::Windows);
    ASSERT_TRUE(std::holds_alternative<ado::SqlServerTarget>(target));
    const ado::OdbcConnectionString built = ado::odbcConnectionString(std::get<ado::SqlServerTarget>(target), c.driver);
    if (!c.expected) {
        EXPECT_FALSE(built.ok());
        EXPECT_FALSE(built.reason().contains(u"maybe")) << "the error quotes the text";
        return;
    }
    ASSERT_TRUE(built.ok()) << built.reason().toStdString();
    EXPECT_EQ(securityPairs(built.value), QString::fromUtf8(c.expected)) << built.value.toStdString();
}

constexpr const char *kLan = "Data Source=KASA-PC;Initial Catalog=MenoraPOS;User ID=sa;Password=pw";
constexpr const char *kNamed = "Data Source=KASA-PC\\SQLEXPRESS;Initial Catalog=MenoraPOS;User ID=sa;Password=pw";
constexpr const char *kNamedAsksBoth =
    "Data Source=KASA-PC\\SQLEXPRESS;Use Encryption for Data=True;Trust Server Certificate=True";
constexpr const char *kLocal = "Data Source=.\\SQLEXPRESS;Initial Catalog=MenoraPOS;Integrated Security=SSPI";

INSTANTIATE_TEST_SUITE_P(
    Cases, EncryptionAndTrust,
    ::testing::Values(
        // Driver 18 must not encrypt and check a certificate the text never asked for.
        EncryptionCase{"lan_18", kLan, kDriver18, "Encrypt=Optional"},
        EncryptionCase{"named_instance_18", kNamed, kDriver18, "Encrypt=Optional"},
        EncryptionCase{"local_18_trusts_its_self_signed_certificate", kLocal, kDriver18,
                       "Encrypt=Optional;TrustServerCertificate=yes"},
        EncryptionCase{"local_18_text_refuses_trust", "Data Source=(local);Trust Server Certificate=False", kDriver18,
                       "Encrypt=Optional"},
        EncryptionCase{"named_instance_18_asks_encryption", "Data Source=KASA-PC\\SQLEXPRESS;Use Encryption for Data=True",
                       kDriver18, "Encrypt=yes"},
        EncryptionCase{"lan_18_provider_string_spelling", "Data Source=KASA-PC;Encrypt=yes;TrustServerCertificate=yes",
                       kDriver18, "Encrypt=yes;TrustServerCertificate=yes"},
        EncryptionCase{"lan_18_version_19_spelling", "Data Source=KASA-PC;Use Encryption for Data=Mandatory", kDriver18,
                       "Encrypt=yes"},
        EncryptionCase{"lan_18_strict", "Data Source=KASA-PC;Use Encryption for Data=strict", kDriver18, "Encrypt=Strict"},
        EncryptionCase{"lan_18_says_no", "Data Source=KASA-PC;Use Encryption for Data=FALSE", kDriver18,
                       "Encrypt=Optional"},
        EncryptionCase{"lan_18_trusts", "Data Source=KASA-PC;Trust Server Certificate=True", kDriver18,
                       "Encrypt=Optional;TrustServerCertificate=yes"},
        EncryptionCase{"lan_17", kLan, kDriver17, ""},
        EncryptionCase{"local_17_needs_no_trust", kLocal, kDriver17, ""},
        EncryptionCase{"named_instance_17_asks_both",
                       kNamedAsksBoth,
                       kDriver17, "Encrypt=yes;TrustServerCertificate=yes"},
        EncryptionCase{"lan_17_strict_is_as_near_as_it_gets", "Data Source=KASA-PC;Encrypt=Strict", kDriver17,
                       "Encrypt=yes"},
        EncryptionCase{"native_client_11", "Data Source=KASA-PC;Encrypt=yes;Trust Server Certificate=true", kNative11,
                       "Encrypt=yes;TrustServerCertificate=yes"},
        EncryptionCase{"native_client_10_trust_alone", "Data Source=KASA-PC;TrustServerCertificate=YES", kNative10,
                       "TrustServerCertificate=yes"},
        EncryptionCase{"built_in_driver_has_no_trust",
                       "Data Source=KASA-PC;Use Encryption for Data=True;Trust Server Certificate=True", kLegacy,
                       "Encrypt=yes"},
        EncryptionCase{"freetds_lan", kLan, kFreeTds, ""},
        EncryptionCase{"freetds_asks_both",
                       kNamedAsksBoth,
                       kFreeTds, "Encryption=require"},
        EncryptionCase{"unreadable_encryption", "Data Source=KASA-PC;Use Encryption for Data=maybe", kDriver18, nullptr},
        EncryptionCase{"unreadable_trust", "Data Source=KASA-PC;Trust Server Certificate=maybe", kFreeTds, nullptr}),
    ByName());

struct ServerFormCase {
    const char *name;
    const char *dataSource;
    QString driver;
    const char *expected;  // the pairs naming the server; nullptr: refused
};

void PrintTo(const ServerFormCase &c, std::ostream *os)
{
    *os << c.name;
}

// The pairs of `odbc` that name the server and its port.
QString serverPairs(const QString &odbc)
{
    QStringList pairs;
    for (const QString &pair : odbc.split(u';', Qt::SkipEmptyParts)) {
        if (pair.startsWith(u"Server=") || pair.startsWith(u"Port="))
            pairs << pair;
    }
    return pairs.join(u';');
}

class ServerForms : public ::testing::TestWithParam<ServerFormCase> {};

TEST_P(ServerForms, reach_each_driver_as_it_takes_them)
{
    const ServerFormCase &c = GetParam();
    const QString text = QStringLiteral("Data Source=%1;Initial Catalog=MenoraPOS;User ID=sa;Password=pw")
                             .arg(QString::fromUtf8(c.dataSource));
    const ado::Target target = ado::chooseTarget(ado::OleDbText::parse(text), Os::Other);
    ASSERT_TRUE(std::holds_alternative<ado::SqlServerTarget>(target));
    const ado::OdbcConnectionString built = ado::odbcConnectionString(std::get<ado::SqlServerTarget>(target), c.driver);
    if (!c.expected) {
        EXPECT_FALSE(built.ok());
        EXPECT_TRUE(built.reason().contains(u"port")) << built.reason().toStdString();
        return;
    }
    ASSERT_TRUE(built.ok()) << built.reason().toStdString();
    EXPECT_EQ(serverPairs(built.value), QString::fromUtf8(c.expected)) << built.value.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ServerForms,
    ::testing::Values(
        ServerFormCase{"freetds_host_gets_the_default_port", "KASA-PC", kFreeTds, "Server={KASA-PC};Port=1433"},
        ServerFormCase{"freetds_host_and_port_apart", "10.0.0.5,1500", kFreeTds, "Server={10.0.0.5};Port=1500"},
        ServerFormCase{"freetds_blanks_around_the_port", "10.0.0.5 , 1500 ", kFreeTds, "Server={10.0.0.5};Port=1500"},
        ServerFormCase{"freetds_instance_is_looked_up", "KASA-PC\\SQLEXPRESS", kFreeTds, "Server={KASA-PC\\SQLEXPRESS}"},
        ServerFormCase{"freetds_port_wins_over_instance", "KASA-PC\\SQLEXPRESS,1500", kFreeTds,
                       "Server={KASA-PC};Port=1500"},
        ServerFormCase{"freetds_dot", ".", kFreeTds, "Server={localhost};Port=1433"},
        ServerFormCase{"freetds_local_instance", "(local)\\POS", kFreeTds, "Server={localhost\\POS}"},
        ServerFormCase{"freetds_local_with_port", "(local),1500", kFreeTds, "Server={localhost};Port=1500"},
        ServerFormCase{"freetds_tcp_prefix", "tcp:KASA-PC,1500", kFreeTds, "Server={KASA-PC};Port=1500"},
        ServerFormCase{"freetds_highest_port", "kasa,65535", kFreeTds, "Server={kasa};Port=65535"},
        ServerFormCase{"freetds_port_zero", "kasa,0", kFreeTds, nullptr},
        ServerFormCase{"freetds_port_too_high", "kasa,65536", kFreeTds, nullptr},
        ServerFormCase{"freetds_port_not_a_number", "kasa,sql", kFreeTds, nullptr},
        ServerFormCase{"freetds_port_signed", "kasa,+1433", kFreeTds, nullptr},
        ServerFormCase{"freetds_port_empty", "kasa,", kFreeTds, nullptr},
        ServerFormCase{"microsoft_host", "KASA-PC", kDriver18, "Server={KASA-PC}"},
        ServerFormCase{"microsoft_host_and_port_as_written", "10.0.0.5,1500", kDriver17, "Server={10.0.0.5,1500}"},
        ServerFormCase{"microsoft_instance_as_written", "KASA-PC\\SQLEXPRESS", kLegacy, "Server={KASA-PC\\SQLEXPRESS}"},
        ServerFormCase{"microsoft_dot_instance", ".\\SQLEXPRESS", kNative11, "Server={localhost\\SQLEXPRESS}"},
        ServerFormCase{"microsoft_tcp_prefix_as_written", "tcp:KASA-PC,1500", kDriver18, "Server={tcp:KASA-PC,1500}"},
        ServerFormCase{"microsoft_bad_port", "kasa,99999", kDriver18, nullptr}),
    ByName());

struct LookupFailureCase {
    const char *name;
    const char *dataSource;
    const char *driverMessage;
    const char *expected;  // "" when the driver's own words stay
};

class InstanceLookupFailure : public ::testing::TestWithParam<LookupFailureCase> {};

TEST_P(InstanceLookupFailure, names_the_browser_only_for_an_instance_without_a_port)
{
    const LookupFailureCase &c = GetParam();
    ado::SqlServerTarget target;
    target.dataSource = QString::fromUtf8(c.dataSource);
    target.server = ado::serverName(target.dataSource);
    EXPECT_EQ(ado::instanceLookupFailure(target, QString::fromUtf8(c.driverMessage)), QString::fromUtf8(c.expected));
}

constexpr const char *kFreeTdsNotFound =
    "[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable or does not exist QODBC: Unable to connect";
constexpr const char *kMicrosoftNotFound =
    "[Microsoft][ODBC Driver 17 for SQL Server]SQL Server Network Interfaces: Error Locating Server/Instance Specified";

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceLookupFailure,
    ::testing::Values(
        LookupFailureCase{"freetds_instance", "KASA-PC\\SQLEXPRESS", kFreeTdsNotFound,
                          "SQL Server Browser yanıt vermedi; bağlantı metnine port yazın: KASA-PC,1433"},
        LookupFailureCase{"microsoft_instance", "10.0.0.5\\POS", kMicrosoftNotFound,
                          "SQL Server Browser yanıt vermedi; bağlantı metnine port yazın: 10.0.0.5,1433"},
        LookupFailureCase{"local_instance_keeps_the_written_host", ".\\SQLEXPRESS", kFreeTdsNotFound,
                          "SQL Server Browser yanıt vermedi; bağlantı metnine port yazın: .,1433"},
        LookupFailureCase{"instance_refused_login", "KASA-PC\\SQLEXPRESS", "Login failed for user 'sa'", ""},
        LookupFailureCase{"host_alone", "KASA-PC", kFreeTdsNotFound, ""},
        LookupFailureCase{"instance_with_port", "KASA-PC\\SQLEXPRESS,1433", kFreeTdsNotFound, ""}),
    ByName());

TEST(OdbcConnectionString, driver_manager_lists_the_registered_drivers)
{
    QFile registry(QStringLiteral("/etc/odbcinst.ini"));
    if (!registry.open(QIODevice::ReadOnly) || !registry.readAll().contains("[FreeTDS]"))
        GTEST_SKIP() << "no FreeTDS entry in /etc/odbcinst.ini on this machine";
    EXPECT_TRUE(ado::installedOdbcDrivers().contains(u"FreeTDS"));
}

}  // namespace
