#include <gtest/gtest.h>

#include "platform/ado/OleDbText.h"
#include "tests/common/NamedCases.h"

namespace {

using ado::OleDbText;

const QString kFallback = QStringLiteral(
    "Provider=SQLNCLI10.1;Integrated Security=SSPI;Persist Security Info=False;User ID=\";"
    "Initial Catalog=\";Data Source=.\\SQLEXPRESS;"
    "Initial File Name=C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf;Server SPN=");

struct ValueCase {
    const char *name;
    QString text;
    QString keyword;
    QString expected;
};

void PrintTo(const ValueCase &c, std::ostream *os)
{
    *os << c.name;
}

class OleDbTextValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(OleDbTextValue, reads_the_value_by_ole_db_rules)
{
    const OleDbText parsed = OleDbText::parse(GetParam().text);
    ASSERT_TRUE(parsed.isValid()) << parsed.error().toStdString();
    EXPECT_EQ(parsed.value(GetParam().keyword), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OleDbTextValue,
    ::testing::Values(
        ValueCase{"keyword_any_case", "Data Source=srv", "DATA SOURCE", "srv"},
        ValueCase{"blanks_around_keyword_and_value", "  Data Source  =  srv  ;", "Data Source", "srv"},
        ValueCase{"line_breaks_around_pairs", "Provider=SQLOLEDB.1; \r\n Data Source=srv\r\n", "Data Source", "srv"},
        ValueCase{"double_quotes_hold_semicolon", "Password=\"a;b\";User ID=u", "Password", "a;b"},
        ValueCase{"single_quotes_hold_semicolon", "Password='a;b';User ID=u", "Password", "a;b"},
        ValueCase{"doubled_double_quote", "Password=\"say \"\"hi\"\"\"", "Password", "say \"hi\""},
        ValueCase{"doubled_single_quote", "Password='it''s'", "Password", "it's"},
        ValueCase{"other_quote_inside", "Password=\"it's\"", "Password", "it's"},
        ValueCase{"quoted_value_keeps_blanks", "Password=  \" padded \"  ;x=y", "Password", " padded "},
        ValueCase{"quote_inside_unquoted_value", "Password=a\"b", "Password", "a\"b"},
        ValueCase{"last_repeat_wins", "User ID=a;User ID=b", "User ID", "b"},
        ValueCase{"last_empty_repeat_clears", "User ID=a;user id=", "User ID", ""},
        ValueCase{"empty_value_is_absent", "Initial Catalog=;Data Source=x", "Initial Catalog", ""},
        ValueCase{"empty_quoted_value_is_absent", "Initial Catalog=\"\";Data Source=x", "Initial Catalog", ""},
        ValueCase{"missing_keyword_is_absent", "Data Source=x", "Initial Catalog", ""},
        ValueCase{"doubled_equals_in_keyword", "A==B=c", "A=B", "c"},
        ValueCase{"empty_segments_skipped", ";;Data Source=x;;", "Data Source", "x"},
        ValueCase{"equals_inside_value", "Password=a=b", "Password", "a=b"},
        ValueCase{"provider_named_twice", "Provider=SQLOLEDB.1; Provider=MSDASQL;Data Source=x", "Provider",
                  "MSDASQL"},
        ValueCase{"empty_text", "  ", "Data Source", ""},
        // The fallback's quoted user id swallows the catalog keyword: no catalog is left.
        ValueCase{"fallback_user_id", kFallback, "User ID", ";Initial Catalog="},
        ValueCase{"fallback_catalog", kFallback, "Initial Catalog", ""}),
    ByName());

TEST(OleDbText, synonyms_take_the_one_written_last)
{
    const OleDbText parsed = OleDbText::parse(u"Server=first;Data Source=second");
    EXPECT_EQ(parsed.value({u"Data Source", u"Server"}), "second");
    EXPECT_EQ(parsed.value({u"Server", u"Data Source"}), "second");
    EXPECT_EQ(OleDbText::parse(u"Data Source=first;Server=second").value({u"Data Source", u"Server"}), "second");
}

class OleDbTextMalformed : public ::testing::TestWithParam<QString> {};

TEST_P(OleDbTextMalformed, is_invalid_and_says_where_without_quoting_the_text)
{
    const OleDbText parsed = OleDbText::parse(GetParam());
    EXPECT_FALSE(parsed.isValid());
    EXPECT_FALSE(parsed.error().isEmpty());
    EXPECT_FALSE(parsed.error().contains(u"Gizli"));
    EXPECT_EQ(parsed.value(u"Data Source"), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, OleDbTextMalformed,
                         ::testing::Values(QStringLiteral("Data Source=x;Password=\"Gizli"),
                                           QStringLiteral("Data Source=x;Password=\"Gizli\"x;"),
                                           QStringLiteral("Data Source=x;Gizli"),
                                           QStringLiteral("Data Source=x;=Gizli")));

}  // namespace
