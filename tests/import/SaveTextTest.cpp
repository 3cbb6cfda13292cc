#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include <optional>

#include "import/SaveText.h"

using import::cutTo50;
using import::localeNumber;
using import::trimSpaces;

TEST(SaveText, trim_removes_only_blanks_at_both_ends)
{
    EXPECT_EQ(trimSpaces(QStringLiteral("  Çay  Bardak ")), QStringLiteral("Çay  Bardak"));
    EXPECT_EQ(trimSpaces(QStringLiteral("     ")), QString());
    EXPECT_EQ(trimSpaces(QStringLiteral("\tÇay\n")), QStringLiteral("\tÇay\n"));
}

TEST(SaveText, cut_keeps_the_first_50_units_and_drops_a_surrogate_pair_it_would_split)
{
    const QString cup = QStringLiteral("\U0001F375");  // two UTF-16 units
    EXPECT_EQ(cutTo50(QString(60, u'ş')), QString(50, u'ş'));
    EXPECT_EQ(cutTo50(QStringLiteral("kısa")), QStringLiteral("kısa"));
    EXPECT_EQ(cutTo50(QString(49, u'a') + cup + QStringLiteral("b")), QString(49, u'a'));
    EXPECT_EQ(cutTo50(QString(48, u'a') + cup + QStringLiteral("bc")), QString(48, u'a') + cup);
}

struct NumberCase {
    QLocale::Language language;
    QLocale::Territory territory;
    const char *text;
    std::optional<double> expected;
};

class LocaleNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LocaleNumber, reads_the_text_by_the_locale)
{
    const NumberCase &c = GetParam();
    const QLocale locale(c.language, c.territory);
    EXPECT_EQ(localeNumber(QString::fromUtf8(c.text), locale), c.expected) << c.text;
}

constexpr auto tr = QLocale::Turkish;
constexpr auto TR = QLocale::Turkey;
constexpr auto en = QLocale::English;
constexpr auto US = QLocale::UnitedStates;

INSTANTIATE_TEST_SUITE_P(
    TurkishAndEnglish, LocaleNumber,
    ::testing::Values(NumberCase{tr, TR, "12,5", 12.5}, NumberCase{tr, TR, "1.234,5", 1234.5},
                      NumberCase{tr, TR, " 12,5 ", 12.5}, NumberCase{tr, TR, "15", 15.0},
                      NumberCase{tr, TR, "-3,25", -3.25}, NumberCase{tr, TR, "12.5", std::nullopt},
                      NumberCase{tr, TR, "1.23,5", std::nullopt}, NumberCase{en, US, "12.5", 12.5},
                      NumberCase{en, US, "1,234.5", 1234.5}, NumberCase{en, US, "12,5", std::nullopt},
                      NumberCase{en, US, "", std::nullopt}, NumberCase{en, US, "   ", std::nullopt},
                      NumberCase{en, US, "on iki", std::nullopt}, NumberCase{en, US, "12 TL", std::nullopt},
                      NumberCase{en, US, "nan", std::nullopt}, NumberCase{en, US, "inf", std::nullopt},
                      NumberCase{tr, TR, "-inf", std::nullopt}));

TEST(SaveText, a_text_longer_than_64_characters_is_no_number)
{
    const QLocale turkish(tr, TR);
    const struct {
        const char *what;
        QString text;
        std::optional<double> expected;
    } cases[] = {
        {"64 digits", QStringLiteral("1") + QString(63, u'0'), 1e63},
        {"64 digits among blanks", QStringLiteral("  1") + QString(63, u'0') + QStringLiteral("  "), 1e63},
        {"65 digits", QStringLiteral("1") + QString(64, u'0'), std::nullopt},
        {"a price with 60 decimals", QStringLiteral("12,") + QString(62, u'5'), std::nullopt},
        {"a million digits", QString(1'000'000, u'9'), std::nullopt},
        {"a million blanks", QString(1'000'000, u' '), std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(localeNumber(c.text, turkish), c.expected) << c.what;
}

TEST(SaveText, group_separators_count_even_when_the_locale_rejects_them)
{
    QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    turkish.setNumberOptions(QLocale::RejectGroupSeparator);
    EXPECT_EQ(localeNumber(QStringLiteral("1.234,5"), turkish), 1234.5);
}

TEST(SaveText, a_number_rendered_by_the_locale_reads_back_exactly)
{
    for (const QLocale &locale : {QLocale(tr, TR), QLocale(en, US)}) {
        for (double value : {0.1, 12.5, 1234.56, 99999.99, 1.0 / 3.0}) {
            const QString shown = locale.toString(value, 'g', 17);
            EXPECT_EQ(localeNumber(shown, locale), value) << shown.toStdString();
        }
    }
}
