#include <gtest/gtest.h>

#include <ostream>

#include "OdbcRoundTrip.h"
#include "platform/ado/OdbcConnectionString.h"
#include "tests/common/NamedCases.h"

namespace {

// Which drivers must refuse to build a string rather than build one.
enum class Refusal { Nobody, FreeTds, Everyone };

struct RoundTripCase {
    const char *name;
    QString text;  // an OLE DB connection text naming a SQL Server login
    Refusal refusal = Refusal::Nobody;
};

void PrintTo(const RoundTripCase &c, std::ostream *os)
{
    *os << c.name;
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, every_driver_reads_back_the_login_the_text_names_and_masking_hides_the_password)
{
    const RoundTripCase &c = GetParam();
    const ado::OleDbText text = ado::OleDbText::parse(c.text);
    ASSERT_TRUE(text.isValid()) << text.error().toStdString();
    const auto target = std::get<ado::SqlServerTarget>(ado::chooseTarget(text, ado::Os::Windows));
    for (QStringView driver : odbcroundtrip::kDrivers) {
        SCOPED_TRACE(driver.toString().toStdString());
        const bool refused = c.refusal == Refusal::Everyone || (c.refusal == Refusal::FreeTds && driver == u"FreeTDS");
        EXPECT_EQ(ado::odbcConnectionString(target, driver.toString()).ok(), !refused);
        EXPECT_EQ(odbcroundtrip::roundTripFault(text, driver).toStdString(), "");
        EXPECT_EQ(odbcroundtrip::maskFault(text, driver).toStdString(), "");
    }
}

// A SQL login on server "kasa" with `password` as the text writes it.
QString login(const QString &password)
{
    return QStringLiteral("Data Source=kasa;User ID=sa;Password=") + password;
}

const QString kNul(QChar(u'\0'));

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTrip,
    ::testing::Values(
        RoundTripCase{"password_with_every_mark", login(QStringLiteral(R"(" {a;b}}c=d""e'f} ")")), Refusal::FreeTds},
        RoundTripCase{"values_opening_with_a_brace",
                      QStringLiteral("Data Source={kasa};Initial Catalog={POS};User ID={sa")},
        RoundTripCase{"local_alias_with_instance",
                      QStringLiteral("Data Source= (LOCAL)\\POS ;Integrated Security=SSPI")},
        RoundTripCase{"password_with_a_brace_inside", login(QStringLiteral("a}b")), Refusal::FreeTds},
        RoundTripCase{"password_ending_in_a_brace", login(QStringLiteral("gizliD}"))},
        RoundTripCase{"password_and_server_spn_ending_in_a_brace",
                      login(QStringLiteral("x};Server SPN=spn}"))},
        RoundTripCase{"password_with_a_brace_before_a_line_break",
                      login(QStringLiteral("gnitial=KA\n\nSQ}LEXPRESS;I=1")), Refusal::FreeTds},
        RoundTripCase{"server_name_holding_a_password_pair",
                      QStringLiteral("Data Source=.\\SQL}X ID=sa:Password=gizl}X ID=sa;Password=gizli&1"),
                      Refusal::FreeTds},
        // unixODBC reads braces the Microsoft way to choose the driver
        // library: FreeTDS's lone "}" would end the value early for it.
        RoundTripCase{"password_naming_another_driver_after_a_brace",
                      login(QStringLiteral("\"a} DRIVER=/tmp/x.so\"")), Refusal::FreeTds},
        // A C driver reads a NUL as the end of the string: the server name
        // would be cut short and point elsewhere.
        RoundTripCase{"nul_in_the_server_name", QStringLiteral("Data Source=kasa") + kNul + QStringLiteral("x;"),
                      Refusal::Everyone},
        RoundTripCase{"nul_in_the_password", login(QStringLiteral("a") + kNul + QStringLiteral("b")),
                      Refusal::Everyone}),
    ByName());

}  // namespace
