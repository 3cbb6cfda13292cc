// The CSV report as a spreadsheet program opens it: no cell from a supplier's
// file may start a formula there.
#include <gtest/gtest.h>

#include "batch/RowReport.h"
#include "tests/common/NamedCases.h"

namespace {

struct CsvCase {
    const char *name;
    QString text;      // the barcode, name and reason of one row
    QByteArray field;  // as each of them is written

    friend void PrintTo(const CsvCase &c, std::ostream *out) { *out << c.name; }
};

class CsvReportField : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvReportField, is_written_so_that_no_spreadsheet_program_evaluates_it)
{
    const CsvCase &c = GetParam();
    const batch::ReportRow row{c.text, 3, c.text, c.text, c.text, QStringLiteral("skipped"), c.text, 0, {}, {}};
    EXPECT_EQ(batch::csvLines({row}),
              c.field + ",3," + c.field + ',' + c.field + ',' + c.field + ",skipped," + c.field + ",,,\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvReportField,
    ::testing::Values(
        CsvCase{"plain_text", QStringLiteral("Çay"), "Çay"},
        CsvCase{"a_sum", QStringLiteral("=2+3"), "'=2+3"},
        CsvCase{"a_link_with_quotes_and_a_comma", QStringLiteral("=HYPERLINK(\"http://x\",\"y\")"),
                "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        CsvCase{"a_plus", QStringLiteral("+1+cmd|' /C calc'!A0"), "'+1+cmd|' /C calc'!A0"},
        CsvCase{"a_minus_that_is_no_number", QStringLiteral("-2+3"), "'-2+3"},
        CsvCase{"an_at", QStringLiteral("@SUM(A1)"), "'@SUM(A1)"},
        CsvCase{"a_tab", QStringLiteral("\t=1"), "'\t=1"},
        CsvCase{"a_carriage_return", QStringLiteral("\r=1"), "\"'\r=1\""},
        CsvCase{"an_equals_sign_further_in", QStringLiteral("a=1"), "a=1"},
        // Plain numbers carry no formula and keep their exact text.
        CsvCase{"a_negative_number", QStringLiteral("-5"), "-5"},
        CsvCase{"a_negative_decimal_with_a_comma", QStringLiteral("-3,25"), "\"-3,25\""},
        CsvCase{"a_negative_decimal_with_a_point", QStringLiteral("-0.5"), "-0.5"},
        CsvCase{"a_plus_signed_number", QStringLiteral("+90"), "+90"},
        CsvCase{"a_lone_minus", QStringLiteral("-"), "'-"},
        CsvCase{"a_minus_and_a_point", QStringLiteral("-."), "'-."}),
    ByName());

TEST(JsonReport, keeps_every_text_as_it_is)
{
    const batch::ReportRow row{QStringLiteral("pos.db"), 1, QStringLiteral("=2+3"), QStringLiteral("@x"),
                               QStringLiteral("İçecek"), QStringLiteral("landed"), QString(), 7, {}, {}};
    const QByteArray json = batch::jsonReport({{batch::TargetOutcome{}, {row}}}, 0, false);
    EXPECT_TRUE(json.contains("\"barcode\": \"=2+3\""));
    EXPECT_TRUE(json.contains("\"group\": \"İçecek\""));
}

}  // namespace
