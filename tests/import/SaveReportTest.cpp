#include <gtest/gtest.h>

#include "import/SaveReport.h"

using import::completionMessage;
using import::RowOutcome;
using import::RowStatus;
using import::SaveResult;
using import::SkipReason;

namespace {

SaveResult connectedWith(const QList<RowOutcome> &rows)
{
    SaveResult result;
    result.connected = true;
    result.rows = rows;
    return result;
}

RowOutcome landed(int row) { return RowOutcome{row, RowStatus::Landed, SkipReason::None, {}, {}, row}; }
RowOutcome empty(int row) { return RowOutcome{row, RowStatus::Empty, SkipReason::None, {}, {}, 0}; }
RowOutcome skipped(int row) { return RowOutcome{row, RowStatus::Skipped, SkipReason::NoName, {}, {}, 0}; }
RowOutcome failed(int row, const QString &error)
{
    return RowOutcome{row, RowStatus::Failed, SkipReason::None, QStringLiteral("MenuItemPrices"), error, 0};
}

}  // namespace

TEST(SaveReport, all_landed_is_the_plain_completion_line)
{
    EXPECT_EQ(completionMessage(connectedWith({landed(1), landed(2), empty(3)})), "2 ürün eklendi");
    EXPECT_EQ(completionMessage(connectedWith({})), "Hiçbir ürün eklenmedi");
}

TEST(SaveReport, skipped_and_failed_rows_are_counted_and_named)
{
    QList<RowOutcome> rows;
    for (int row = 1; row <= 38; ++row)
        rows << landed(row + 100);
    rows << skipped(5) << skipped(9) << failed(12, QStringLiteral("CHECK constraint failed: Price")) << empty(13);
    EXPECT_EQ(completionMessage(connectedWith(rows)),
              "38 ürün eklendi\nAtlanan satır: 2 (5, 9)\n"
              "Hatalı satır: 1 (12: CHECK constraint failed: Price)");
    EXPECT_EQ(completionMessage(connectedWith({skipped(4)})), "Hiçbir ürün eklenmedi\nAtlanan satır: 1 (4)");
    EXPECT_EQ(completionMessage(connectedWith({landed(1), failed(2, "x")})),
              "1 ürün eklendi\nHatalı satır: 1 (2: x)");
}

TEST(SaveReport, duplicates_left_out_have_a_line_of_their_own)
{
    const RowOutcome leftOut4{4, RowStatus::LeftOut, SkipReason::None, {}, {}, 0};
    const RowOutcome leftOut7{7, RowStatus::LeftOut, SkipReason::None, {}, {}, 0};
    EXPECT_EQ(completionMessage(connectedWith({landed(1), leftOut4, skipped(5), leftOut7})),
              "1 ürün eklendi\nAtlanan satır: 1 (5)\nTekrar olduğu için eklenmeyen: 2 (4, 7)");
}

TEST(SaveReport, long_lists_end_in_an_ellipsis)
{
    QList<RowOutcome> rows;
    for (int row = 1; row <= 50; row += 2)
        rows << skipped(row);
    for (int row = 52; row <= 58; ++row)
        rows << failed(row, "e");
    EXPECT_EQ(completionMessage(connectedWith(rows)),
              "Hiçbir ürün eklenmedi\n"
              "Atlanan satır: 25 (1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31, 33, 35, 37, 39, …)\n"
              "Hatalı satır: 7 (52: e; 53: e; 54: e; 55: e; 56: e; …)");
}

TEST(SaveReport, a_stopped_save_does_not_claim_all_landed_and_lists_the_rows_not_attempted)
{
    SaveResult stopped = connectedWith({landed(1), landed(2)});
    stopped.stopped = true;
    for (int row = 3; row <= 27; ++row)
        stopped.notAttempted << row;
    EXPECT_EQ(completionMessage(stopped),
              "Kaydetme durduruldu: 2 ürün eklendi\nDenenmeyen satır: 25 (3–27)");
    // Stopped when only blank rows were left: nothing to list, still no claim.
    stopped.notAttempted.clear();
    EXPECT_EQ(completionMessage(stopped), "Kaydetme durduruldu: 2 ürün eklendi");
    stopped.rows.clear();
    EXPECT_EQ(completionMessage(stopped), "Kaydetme durduruldu: hiçbir ürün eklenmedi");
}

TEST(SaveReport, no_connection_says_nothing_was_added_and_why)
{
    SaveResult result;
    result.connectionError = QStringLiteral("Login failed for user 'kasa'.");
    EXPECT_EQ(completionMessage(result),
              "Veritabanı bağlantısı yok; hiçbir ürün eklenmedi.\nLogin failed for user 'kasa'.");
    EXPECT_EQ(completionMessage(SaveResult{}), "Veritabanı bağlantısı yok; hiçbir ürün eklenmedi.");
}

TEST(SaveReport, the_rows_not_landed_carry_their_reasons_and_a_stopped_save_names_the_rest)
{
    using import::ProductRow;
    using import::RowFate;
    using import::RowPreview;
    const QList<ProductRow> rows{{"1", "Çay", "10"}, {"2", "", "5"},      {"3", "Simit", "7"},
                                 {"", "", ""},       {"5", "Su", "3"},     {"6", "Ayran", "4"}};
    QList<RowPreview> previews(rows.size());
    previews[1].fate = RowFate::SkippedNoName;
    previews[2].fate = RowFate::InDatabase;
    previews[2].existing.id = 42;
    previews[2].existing.name = QStringLiteral("Eski Simit");
    previews[3].fate = RowFate::Blank;
    previews[5].fate = RowFate::WillAdd;
    RowOutcome leftOut{3, RowStatus::LeftOut, SkipReason::None, {}, {}, 0};
    SaveResult result = connectedWith({landed(1), skipped(2), leftOut, empty(4), failed(5, "disk dolu")});
    result.stopped = true;
    result.notAttempted = {6};

    const QList<import::RowNotLanded> kept = import::rowsNotLanded(result, rows, previews);
    QStringList lines;
    for (const import::RowNotLanded &row : kept)
        lines << QStringLiteral("%1 %2 %3").arg(row.gridRow).arg(row.row.name, row.reason);
    EXPECT_EQ(lines, (QStringList{
                         "2  ürün adı yok",
                         "3 Simit barkod zaten kayıtlı: “Eski Simit” (no 42)",
                         "5 Su MenuItemPrices: disk dolu",
                         "6 Ayran kaydetme bu satırdan önce durduruldu",
                     }));
}

namespace {

using import::RowFate;
using import::RowPreview;

RowOutcome updated(int row) { return RowOutcome{row, RowStatus::Updated, SkipReason::None, {}, {}, row}; }

RowPreview withWarnings(unsigned warnings)
{
    RowPreview preview;
    preview.fate = RowFate::WillAdd;
    preview.warnings = warnings;
    return preview;
}

struct RangeCase {
    QList<int> rows;
    qsizetype listed;
    const char *text;
};

class RowRanges : public ::testing::TestWithParam<RangeCase> {};

}  // namespace

TEST_P(RowRanges, runs_become_ranges_and_long_lists_end_in_an_ellipsis)
{
    EXPECT_EQ(import::rowRanges(GetParam().rows, GetParam().listed), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(SaveReport, RowRanges,
                         ::testing::Values(RangeCase{{}, 20, ""}, RangeCase{{7}, 20, "7"},
                                           RangeCase{{9, 10}, 20, "9–10"},
                                           RangeCase{{2, 5, 6, 7, 9}, 20, "2, 5–7, 9"},
                                           RangeCase{{1, 3, 4, 8, 9, 10, 12}, 2, "1, 3–4, …"},
                                           RangeCase{{1, 3, 4}, 2, "1, 3–4"}));

TEST(SaveReport, the_first_line_says_what_was_added_and_updated)
{
    EXPECT_EQ(completionMessage(connectedWith({landed(1), updated(2), updated(3), landed(4)})),
              "2 ürün eklendi, 2 ürün güncellendi\nGüncellenen ürün: 2 (2–3)");
    EXPECT_EQ(completionMessage(connectedWith({updated(5)})), "1 ürün güncellendi\nGüncellenen ürün: 1 (5)");
    SaveResult stopped = connectedWith({landed(1), updated(2)});
    stopped.stopped = true;
    EXPECT_EQ(completionMessage(stopped).section(u'\n', 0, 0), "Kaydetme durduruldu: 1 ürün eklendi, 1 ürün güncellendi");
}

TEST(SaveReport, rows_stored_with_a_warning_are_counted_by_kind)
{
    QList<RowPreview> previews(12);
    previews[4] = withWarnings(import::NameCut);
    previews[8] = withWarnings(import::NameCut | import::PriceGrouped);
    previews[9] = withWarnings(import::PriceNotPositive);
    previews[10] = withWarnings(import::BarcodeCut);
    previews[11] = withWarnings(import::NotStorable);  // fails rather than landing altered
    const SaveResult result =
        connectedWith({landed(1), landed(5), landed(9), landed(10), updated(11), failed(12, QStringLiteral("e"))});
    EXPECT_EQ(completionMessage(result, previews),
              "4 ürün eklendi, 1 ürün güncellendi\n"
              "Güncellenen ürün: 1 (11)\n"
              "Uyarıyla eklenen: 3 (5, 9–10); ad kısaltıldı 2, fiyat sıfır ya da eksi 1, fiyatta binlik ayırıcı 1\n"
              "Uyarıyla güncellenen: 1 (11); barkod kısaltıldı 1\n"
              "Hatalı satır: 1 (12: e)");
    // Without the verdicts no row counts as warned.
    EXPECT_EQ(completionMessage(connectedWith({landed(1), landed(5)})), "2 ürün eklendi");
}

namespace {

struct ReadingCase {
    const char *text;
    QLocale::Language language;
    const char *reading;
};

class PriceReading : public ::testing::TestWithParam<ReadingCase> {};

}  // namespace

TEST_P(PriceReading, says_how_the_text_was_read)
{
    EXPECT_EQ(import::priceReading(QString::fromUtf8(GetParam().text), QLocale(GetParam().language)),
              QString::fromUtf8(GetParam().reading));
}

INSTANTIATE_TEST_SUITE_P(
    SaveReport, PriceReading,
    ::testing::Values(ReadingCase{"12,5", QLocale::Turkish, "“12,5” → 12,50"},
                      ReadingCase{"1.234", QLocale::Turkish, "“1.234” → 1.234,00 (nokta binlik ayırıcı sayıldı)"},
                      ReadingCase{"1.234,5", QLocale::Turkish, "“1.234,5” → 1.234,50 (nokta binlik ayırıcı sayıldı)"},
                      ReadingCase{"1,234", QLocale::English, "“1,234” → 1.234,00 (virgül binlik ayırıcı sayıldı)"},
                      ReadingCase{"on", QLocale::Turkish, ""}, ReadingCase{"", QLocale::Turkish, ""}));

TEST(SaveReport, choice_warnings_count_the_rows_to_be_added_under_choices_left_unmade)
{
    using import::ChoiceWarnings;
    RowPreview unchosen = withWarnings(import::NoWarning);
    unchosen.values.group = import::unchosenGroup();
    RowPreview chosen = unchosen;
    chosen.values.group = QStringLiteral("Tatlılar");
    chosen.values.printerId = QStringLiteral("3");
    RowPreview failing = unchosen;
    failing.warnings = import::NotStorable;
    RowPreview repeat = unchosen;
    repeat.fate = RowFate::RepeatInFile;
    const QList<RowPreview> previews{unchosen, unchosen, chosen, failing, repeat};

    import::SaveChoices choices;
    const ChoiceWarnings hidden = import::choiceWarnings(previews, choices);
    EXPECT_EQ(hidden.unchosenGroup, 2);
    EXPECT_EQ(hidden.noPrinter, 0);
    choices.showOnSalesScreen = true;
    const ChoiceWarnings shown = import::choiceWarnings(previews, choices);
    EXPECT_EQ(shown.noPrinter, 2);
    EXPECT_EQ(import::choiceWarningLines(shown),
              (QStringList{"2 ürün “SEÇİLMEDİ” grubuna eklenecek (grup seçilmedi).",
                           "Satışta gösterilecek 2 ürün hiçbir yazıcıya gönderilmeyecek (yazıcı seçilmedi)."}));
    EXPECT_EQ(import::choiceWarningLines({2, 0}, import::Tense::Past),
              QStringList{"2 ürün “SEÇİLMEDİ” grubuna eklendi (grup seçilmedi)."});
    EXPECT_FALSE(import::choiceWarnings({chosen}, choices).any());
    EXPECT_TRUE(import::choiceWarningLines({}).isEmpty());
}
