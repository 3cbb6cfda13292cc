#include <gtest/gtest.h>

#include <ostream>

#include "OdbcRoundTrip.h"
#include "platform/ado/OdbcConnectionString.h"

namespace {

struct RoundTripCase {
    const char *name;
    QString text;  // an OLE DB connection text naming a SQL Server login
    bool refused;  // every driver's string must be refused rather than built
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
        EXPECT_EQ(ado::odbcConnectionString(target, driver.toString()).ok(), !c.refused);
        EXPECT_EQ(odbcroundtrip::roundTripFault(text, driver).toStdString(), "");
        EXPECT_EQ(odbcroundtrip::maskFault(text, driver).toStdString(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTrip,
    ::testing::Values(
        RoundTripCase{"password_with_every_mark",
                      QStringLiteral(R"(Data Source=kasa;User ID=sa;Password=" {a;b}}c=d""e'f} ")"), false},
        RoundTripCase{"values_opening_with_a_brace", QStringLiteral("Data Source={kasa};Initial Catalog={POS};User ID={sa"),
                      false},
        RoundTripCase{"local_alias_with_instance", QStringLiteral("Data Source= (LOCAL)\\POS ;Integrated Security=SSPI"),
                      false},
        RoundTripCase{"password_with_a_brace_inside", QStringLiteral("Data Source=kasa;User ID=sa;Password=a}b"), false},
        RoundTripCase{"password_ending_in_a_brace", QStringLiteral("Data Source=kasa;User ID=sa;Password=gizliD}"), false},
        RoundTripCase{"password_with_a_brace_before_a_line_break",
                      QStringLiteral("Data Source=kasa;User ID=sa;Password=gnitial=KA\n\nSQ}LEXPRESS;I=1"), false},
        RoundTripCase{"server_name_holding_a_password_pair",
                      QStringLiteral("Data Source=.\\SQL}X ID=sa:Password=gizl}X ID=sa;Password=gizli&1"), false},
        // A C driver reads a NUL as the end of the string: the server name
        // would be cut short and point elsewhere.
        RoundTripCase{"nul_in_the_server_name", QStringLiteral("Data Source=kasa") + QChar(u'\0') + QStringLiteral("x;"),
                      true},
        RoundTripCase{"nul_in_the_password",
                      QStringLiteral("Data Source=kasa;User ID=sa;Password=a") + QChar(u'\0') + QStringLiteral("b"), true}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
