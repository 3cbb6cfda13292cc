#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <ostream>

#include "platform/ado/SecretMask.h"
#include "tests/common/NamedCases.h"

namespace {

// The names the title bar shows, which the mask must leave whole.
const QStringList kKeep{QStringLiteral("KASA-PC\\SQLEXPRESS"), QStringLiteral("MenoraPOS")};

struct MaskCase {
    const char *name;
    const char *password;
    const char *message;   // what the driver would return
    const char *expected;
};

void PrintTo(const MaskCase &c, std::ostream *os)
{
    *os << c.name;
}

class MaskSecrets : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskSecrets, hides_the_password_only_where_it_stands_whole)
{
    const MaskCase &c = GetParam();
    EXPECT_EQ(ado::maskSecrets(QString::fromUtf8(c.message), {QString::fromUtf8(c.password)}, kKeep),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    DriverTexts, MaskSecrets,
    ::testing::Values(
        MaskCase{"p1_inside_words", "a",
                 "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Login failed for user 'sa'.",
                 "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Login failed for user 'sa'."},
        MaskCase{"p1_standing_alone", "a", "[Microsoft][ODBC Driver 17 for SQL Server]TCP Provider: a timeout occurred",
                 "[Microsoft][ODBC Driver 17 for SQL Server]TCP Provider: *** timeout occurred"},
        MaskCase{"p1_echoed_braced", "a",
                 "[unixODBC]Invalid attribute: DRIVER={FreeTDS};SERVER={KASA-PC\\SQLEXPRESS};UID={sa};PWD={a};",
                 "[unixODBC]Invalid attribute: DRIVER={FreeTDS};SERVER={KASA-PC\\SQLEXPRESS};UID={sa};PWD=***;"},
        MaskCase{"p2_inside_words", "in",
                 "[SQL Server]Login failed for user 'kasa'. Reason: Password did not match that for the login "
                 "provided. [CLIENT: 192.168.1.20]",
                 "[SQL Server]Login failed for user 'kasa'. Reason: Password did not match that for the login "
                 "provided. [CLIENT: 192.168.1.20]"},
        MaskCase{"p2_inside_the_server_name", "PC",
                 "Named Pipes Provider: Could not open a connection to KASA-PC\\SQLEXPRESS [53].",
                 "Named Pipes Provider: Could not open a connection to KASA-PC\\SQLEXPRESS [53]."},
        MaskCase{"p2_standing_whole", "PC", "Cannot open database \"PC\" requested by the login.",
                 "Cannot open database \"***\" requested by the login."},
        MaskCase{"p12_standing_whole_in_the_server_text", "Kasa2024!Gzl",
                 "Cannot open database \"Kasa2024!Gzl\" requested by the login. The login failed.",
                 "Cannot open database \"***\" requested by the login. The login failed."},
        MaskCase{"p12_inside_a_longer_name", "MenoraPOS202",
                 "Cannot open database \"MenoraPOS2024\" requested by the login. The login failed.",
                 "Cannot open database \"MenoraPOS2024\" requested by the login. The login failed."},
        MaskCase{"p12_in_other_case", "Kasa2024!Gzl", "Cannot open database \"KASA2024!GZL\".",
                 "Cannot open database \"KASA2024!GZL\"."},
        MaskCase{"p12_echoed_plain", "Kasa2024!Gzl", "Bad attribute in Pwd=Kasa2024!Gzl;Server=KASA-PC",
                 "Bad attribute in Pwd=***;Server=KASA-PC"},
        MaskCase{"p12_echoed_quoted_with_semicolon", "Kasa;2024!Gz", "Password='Kasa;2024!Gz';Data Source=KASA-PC",
                 "Password=***;Data Source=KASA-PC"},
        // The driver doubles "}" inside braces, so the raw password never appears.
        MaskCase{"echoed_with_doubled_brace", "a}b", "UID={sa};PWD={a}}b};Database={MenoraPOS}",
                 "UID={sa};PWD=***;Database={MenoraPOS}"},
        // FreeTDS is sent "}" as it is: the value runs to the "}" before ";".
        MaskCase{"echoed_for_freetds_with_a_lone_brace", "a}b", "UID={sa};PWD={a}b};Database={MenoraPOS}",
                 "UID={sa};PWD=***;Database={MenoraPOS}"},
        MaskCase{"echoed_for_freetds_with_a_brace_before_a_blank", "x} ", "PWD={x} };Server={KASA-PC}",
                 "PWD=***;Server={KASA-PC}"},
        MaskCase{"echoed_for_freetds_with_a_brace_before_a_line_break", "x}\ny", "PWD={x}\ny};Server={KASA-PC}",
                 "PWD=***;Server={KASA-PC}"},
        // Read the Microsoft way the value runs on to the end: masked too far, never too short.
        MaskCase{"echoed_for_freetds_ending_in_a_brace", "ab}", "PWD={ab}};Server={KASA-PC}", "PWD=***"},
        MaskCase{"echoed_for_microsoft_with_a_closing_brace_and_semicolon", "a};b", "PWD={a}};b};Server={KASA-PC}",
                 "PWD=***;Server={KASA-PC}"},
        // No lone "}" closes the value the Microsoft way: masked to the end.
        MaskCase{"echoed_for_freetds_before_a_value_ending_in_a_brace", "x}",
                 "PWD={x}};ServerSPN={spn}};TDS_Version=7.4;", "PWD=***"},
        MaskCase{"no_password", "", "Login failed for user 'sa'.", "Login failed for user 'sa'."}),
    ByName());

}  // namespace
