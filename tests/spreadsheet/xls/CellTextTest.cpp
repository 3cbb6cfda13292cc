#include "spreadsheet/CellText.h"

#include <gtest/gtest.h>

#include <QDate>

namespace {

using spreadsheet::CellText;
using spreadsheet::NumberKind;

const QLocale kTurkish(QLocale::Turkish, QLocale::Turkey);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

struct NumberCase {
    double value;
    const char *english;
    const char *turkish;
};

class NumberTextTest : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, shows_the_value_without_exponent_or_grouping_in_the_locale)
{
    const NumberCase c = GetParam();
    EXPECT_EQ(CellText(kEnglish, false).number(c.value, NumberKind::Plain), QString::fromUtf8(c.english));
    EXPECT_EQ(CellText(kTurkish, false).number(c.value, NumberKind::Plain), QString::fromUtf8(c.turkish));
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberTextTest,
    testing::Values(NumberCase{8690504012345.0, "8690504012345", "8690504012345"},
                    NumberCase{12.5, "12.5", "12,5"},
                    NumberCase{-3.25, "-3.25", "-3,25"},
                    NumberCase{0.1 + 0.2, "0.3", "0,3"},
                    NumberCase{0.18, "0.18", "0,18"},
                    NumberCase{1234567.891, "1234567.891", "1234567,891"},
                    NumberCase{123456789.123456789, "123456789.123457", "123456789,123457"},
                    NumberCase{0.000001234, "0.000001234", "0,000001234"},
                    NumberCase{1e20, "100000000000000000000", "100000000000000000000"},
                    NumberCase{9007199254740993.0, "9007199254740990", "9007199254740990"},
                    NumberCase{-0.0, "0", "0"},
                    NumberCase{0.9999999999999999, "1", "1"}));

TEST(NumberTextTest, reads_back_exactly_with_the_same_locale)
{
    const CellText text(kTurkish, false);
    for (double value : {12.5, 0.18, 8690504012345.0, 19.99, -1234.5678, 0.07})
        EXPECT_EQ(kTurkish.toDouble(text.number(value, NumberKind::Plain)), value);
}

TEST(NumberTextTest, non_finite_values_are_a_number_error)
{
    EXPECT_EQ(CellText(kEnglish, false).number(std::numeric_limits<double>::quiet_NaN(), NumberKind::Plain), "#NUM!");
}

TEST(CalendarTextTest, dates_and_times_use_the_locale_short_forms)
{
    const CellText text(kTurkish, false);
    const QString date = kTurkish.toString(QDate(2024, 3, 15), QLocale::ShortFormat);
    const QString time = kTurkish.toString(QTime(13, 45), QLocale::ShortFormat);
    EXPECT_EQ(text.number(45366.0, NumberKind::Date), date);
    EXPECT_EQ(text.number(45366.5729166667, NumberKind::Time), time);
    EXPECT_EQ(text.number(45366.5729166667, NumberKind::DateTime), date + ' ' + time);
}

TEST(CalendarTextTest, the_1904_system_counts_from_1904)
{
    EXPECT_EQ(CellText(kEnglish, true).number(0.0, NumberKind::Date),
              kEnglish.toString(QDate(1904, 1, 1), QLocale::ShortFormat));
    EXPECT_EQ(CellText(kEnglish, false).number(59.0, NumberKind::Date),
              kEnglish.toString(QDate(1900, 2, 28), QLocale::ShortFormat));
    EXPECT_EQ(CellText(kEnglish, false).number(61.0, NumberKind::Date),
              kEnglish.toString(QDate(1900, 3, 1), QLocale::ShortFormat));
}

TEST(CalendarTextTest, serials_outside_the_calendar_stay_numbers)
{
    const CellText text(kEnglish, false);
    EXPECT_EQ(text.number(-1.5, NumberKind::Date), "-1.5");
    EXPECT_EQ(text.number(3e6, NumberKind::DateTime), "3000000");
}

TEST(ErrorTextTest, error_codes_have_their_spreadsheet_names)
{
    EXPECT_EQ(CellText::error(0x07), "#DIV/0!");
    EXPECT_EQ(CellText::error(0x2A), "#N/A");
    EXPECT_EQ(CellText::error(0x0F), "#VALUE!");
    EXPECT_EQ(CellText::error(0x99), "#N/A");
}

struct FormatCase {
    const char *code;
    NumberKind kind;
};

class FormatKindTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatKindTest, tells_calendar_formats_from_plain_ones)
{
    EXPECT_EQ(spreadsheet::classifyFormatCode(QString::fromUtf8(GetParam().code)), GetParam().kind) << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FormatKindTest,
    testing::Values(FormatCase{"General", NumberKind::Plain}, FormatCase{"0.00%", NumberKind::Plain},
                    FormatCase{"#,##0.00 \"TL\"", NumberKind::Plain}, FormatCase{"0.00E+00", NumberKind::Plain},
                    FormatCase{"[h]:mm:ss", NumberKind::Plain}, FormatCase{"\"day\" 0", NumberKind::Plain},
                    FormatCase{"[Red]0.00;[Blue]-0.00", NumberKind::Plain}, FormatCase{"\\d0", NumberKind::Plain},
                    FormatCase{"DD.MM.YYYY", NumberKind::Date}, FormatCase{"mmm-yy", NumberKind::Date},
                    FormatCase{"[$-41F]d mmmm yyyy", NumberKind::Date}, FormatCase{"hh:mm", NumberKind::Time},
                    FormatCase{"h:mm AM/PM", NumberKind::Time}, FormatCase{"mm:ss", NumberKind::Time},
                    FormatCase{"d/m/yy h:mm", NumberKind::DateTime}));

// A format code, a value and the text read for it: zero-padded integer
// formats show their padding and literal text, every other plain format the number.
struct PaddedCase {
    const char *code;
    double value;
    const char *shown;
};

class PaddedFormatTest : public testing::TestWithParam<PaddedCase> {};

TEST_P(PaddedFormatTest, shows_zero_padded_integers_as_the_spreadsheet_does)
{
    const spreadsheet::NumberFormat format = spreadsheet::parseFormatCode(QString::fromUtf8(GetParam().code));
    EXPECT_EQ(CellText(kTurkish, false).number(GetParam().value, format), QString::fromUtf8(GetParam().shown))
        << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PaddedFormatTest,
    testing::Values(PaddedCase{"0000000000000", 12345678905, "0012345678905"},
                    PaddedCase{"0000000000000", 8690504012345, "8690504012345"},
                    PaddedCase{"00000", 1234567, "1234567"},
                    PaddedCase{"\"TR\"00000", 12345, "TR12345"},
                    PaddedCase{"\"TR\"0000000", 12345, "TR0012345"},
                    PaddedCase{"\\T\\R00000\" A\"", 42, "TR00042 A"},
                    PaddedCase{"[Blue]00000;[Red]-00000", 42, "00042"},
                    PaddedCase{"00000", 41.6, "00042"},
                    PaddedCase{"00000", 0, "00000"},
                    PaddedCase{"00000", -42, "-42"},
                    PaddedCase{"0", 42, "42"},
                    PaddedCase{"0", 0.5, "0,5"},
                    PaddedCase{"0.00", 7.5, "7,5"},
                    PaddedCase{"000.00", 7.5, "7,5"},
                    PaddedCase{"#,##0", 12345, "12345"},
                    PaddedCase{"#0000", 42, "42"},
                    PaddedCase{"00000%", 42, "42"},
                    PaddedCase{"0000E+00", 42, "42"},
                    PaddedCase{"0\" TL\"", 45, "45"},
                    PaddedCase{"[>100]00000", 42, "42"},
                    PaddedCase{"General", 42, "42"},
                    PaddedCase{"@", 42, "42"}));

TEST(NumberFormatsTest, cell_formats_use_built_in_and_stored_codes)
{
    spreadsheet::NumberFormats formats;
    formats.addCellFormat(0);    // General
    formats.addCellFormat(14);   // built-in date
    formats.addCellFormat(164);  // stored below
    formats.addCellFormat(9);    // built-in percent
    formats.addFormat(164, QStringLiteral("hh:mm"));
    EXPECT_EQ(formats.kindOf(0), NumberKind::Plain);
    EXPECT_EQ(formats.kindOf(1), NumberKind::Date);
    EXPECT_EQ(formats.kindOf(2), NumberKind::Time);
    EXPECT_EQ(formats.kindOf(3), NumberKind::Plain);
    EXPECT_EQ(formats.kindOf(4), NumberKind::Plain);  // no such cell format
}

}  // namespace
