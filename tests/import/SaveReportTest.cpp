#include <gtest/gtest.h>

#include "import/SaveReport.h"

using bulksave::completionMessage;
using bulksave::RowOutcome;
using bulksave::RowStatus;
using bulksave::SaveResult;
using bulksave::SkipReason;

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
    EXPECT_EQ(completionMessage(connectedWith({landed(1), landed(2), empty(3)})), "Toplu Ürün Eklendi");
    EXPECT_EQ(completionMessage(connectedWith({})), "Toplu Ürün Eklendi");
}

TEST(SaveReport, skipped_and_failed_rows_are_counted_and_named)
{
    QList<RowOutcome> rows;
    for (int row = 1; row <= 38; ++row)
        rows << landed(row + 100);
    rows << skipped(5) << skipped(9) << failed(12, QStringLiteral("CHECK constraint failed: Price")) << empty(13);
    EXPECT_EQ(completionMessage(connectedWith(rows)),
              "Toplu Ürün Eklendi\nEklenen ürün: 38\nAtlanan satır: 2 (5, 9)\n"
              "Hatalı satır: 1 (12: CHECK constraint failed: Price)");
    EXPECT_EQ(completionMessage(connectedWith({skipped(4)})), "Toplu Ürün Eklendi\nEklenen ürün: 0\nAtlanan satır: 1 (4)");
    EXPECT_EQ(completionMessage(connectedWith({landed(1), failed(2, "x")})),
              "Toplu Ürün Eklendi\nEklenen ürün: 1\nHatalı satır: 1 (2: x)");
}

TEST(SaveReport, duplicates_left_out_have_a_line_of_their_own)
{
    const RowOutcome leftOut4{4, RowStatus::LeftOut, SkipReason::None, {}, {}, 0};
    const RowOutcome leftOut7{7, RowStatus::LeftOut, SkipReason::None, {}, {}, 0};
    EXPECT_EQ(completionMessage(connectedWith({landed(1), leftOut4, skipped(5), leftOut7})),
              "Toplu Ürün Eklendi\nEklenen ürün: 1\nAtlanan satır: 1 (5)\nTekrar olduğu için eklenmeyen: 2 (4, 7)");
}

TEST(SaveReport, long_lists_end_in_an_ellipsis)
{
    QList<RowOutcome> rows;
    for (int row = 1; row <= 25; ++row)
        rows << skipped(row);
    for (int row = 26; row <= 32; ++row)
        rows << failed(row, "e");
    EXPECT_EQ(completionMessage(connectedWith(rows)),
              "Toplu Ürün Eklendi\nEklenen ürün: 0\n"
              "Atlanan satır: 25 (1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, …)\n"
              "Hatalı satır: 7 (26: e; 27: e; 28: e; 29: e; 30: e; …)");
}

TEST(SaveReport, a_stopped_save_does_not_claim_all_landed_and_lists_the_rows_not_attempted)
{
    SaveResult stopped = connectedWith({landed(1), landed(2)});
    stopped.stopped = true;
    for (int row = 3; row <= 27; ++row)
        stopped.notAttempted << row;
    EXPECT_EQ(completionMessage(stopped),
              "Kaydetme durduruldu\nEklenen ürün: 2\nDenenmeyen satır: 25 (3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, "
              "15, 16, 17, 18, 19, 20, 21, 22, …)");
    // Stopped when only blank rows were left: nothing to list, still no claim.
    stopped.notAttempted.clear();
    EXPECT_EQ(completionMessage(stopped), "Kaydetme durduruldu\nEklenen ürün: 2");
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
    using bulksave::ProductRow;
    using bulksave::RowFate;
    using bulksave::RowPreview;
    const QList<ProductRow> rows{{"1", "Çay", "10"}, {"2", "", "5"},      {"3", "Simit", "7"},
                                 {"", "", ""},       {"5", "Su", "3"},     {"6", "Ayran", "4"}};
    QList<RowPreview> previews(rows.size());
    previews[1].fate = RowFate::SkippedNoName;
    previews[2].fate = RowFate::InDatabase;
    previews[2].existing = {42, QStringLiteral("Eski Simit"), {}, {}, 1};
    previews[3].fate = RowFate::Blank;
    previews[5].fate = RowFate::WillAdd;
    RowOutcome leftOut{3, RowStatus::LeftOut, SkipReason::None, {}, {}, 0};
    SaveResult result = connectedWith({landed(1), skipped(2), leftOut, empty(4), failed(5, "disk dolu")});
    result.stopped = true;
    result.notAttempted = {6};

    const QList<bulksave::RowNotLanded> kept = bulksave::rowsNotLanded(result, rows, previews);
    QStringList lines;
    for (const bulksave::RowNotLanded &row : kept)
        lines << QStringLiteral("%1 %2 %3").arg(row.gridRow).arg(row.row.name, row.reason);
    EXPECT_EQ(lines, (QStringList{
                         "2  ürün adı yok",
                         "3 Simit barkod zaten kayıtlı: “Eski Simit” (no 42)",
                         "5 Su MenuItemPrices: disk dolu",
                         "6 Ayran kaydetme bu satırdan önce durduruldu",
                     }));
}
