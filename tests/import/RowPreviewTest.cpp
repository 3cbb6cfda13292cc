// The preview: every row's fate and warnings before a save, by the save's rules.
#include <gtest/gtest.h>

#include <QLocale>

#include <cstdint>

#include "import/RowPreview.h"
#include "import/SaveReport.h"
#include "tests/common/QtPrinters.h"

using import::ExistingBarcodes;
using import::ExistingItem;
using import::ProductRow;
using import::RowFate;
using import::RowPreview;

namespace {

QList<RowPreview> preview(const QList<ProductRow> &rows, const ExistingBarcodes &existing = {},
                          const QLocale &locale = QLocale(QLocale::Turkish, QLocale::Turkey),
                          const ado::TextFidelity &fidelity = ado::TextFidelity::unicode())
{
    import::SaveChoices choices;
    choices.group = QStringLiteral("Kahveler");
    choices.locale = locale;
    return import::previewRows(rows, choices, existing, fidelity);
}

QList<RowFate> fates(const QList<RowPreview> &previews)
{
    QList<RowFate> result;
    for (const RowPreview &p : previews)
        result << p.fate;
    return result;
}

const QString k60 = QString(60, u'8');

}  // namespace

TEST(RowPreview, each_row_gets_the_fate_the_save_would_give_it)
{
    const QList<RowPreview> p = preview({{"", "", "  "}, {"1", "  ", "5"}, {"2", "Çay", "on iki"}, {" 3 ", " Kahve ", "12,5"}});
    EXPECT_EQ(fates(p), (QList<RowFate>{RowFate::Blank, RowFate::SkippedNoName, RowFate::SkippedPrice, RowFate::WillAdd}));
    EXPECT_EQ(p[2].priceText, "on iki");
    ASSERT_TRUE(p[3].product);
    EXPECT_EQ(p[3].product->barcode, "3");
    EXPECT_EQ(p[3].product->name, "Kahve");
    EXPECT_EQ(p[3].product->price, 12.5);
    EXPECT_EQ(p[3].warnings, import::NoWarning);

    // The same price text under English rules is not a number.
    EXPECT_EQ(preview({{"3", "Kahve", "12,5"}}, {}, QLocale(QLocale::English, QLocale::UnitedStates))[0].fate,
              RowFate::SkippedPrice);
}

TEST(RowPreview, a_barcode_in_the_database_names_its_item_on_every_row_that_has_it)
{
    const ExistingBarcodes existing{{QStringLiteral("8690"), ExistingItem{42, QStringLiteral("Eski Çay"), {}, {}, 1}}};
    const QList<RowPreview> p = preview({{" 8690 ", "Çay", "10"}, {"8691", "Simit", "5"}, {"8690", "Çay 2", "11"}}, existing);
    EXPECT_EQ(fates(p), (QList<RowFate>{RowFate::InDatabase, RowFate::WillAdd, RowFate::InDatabase}));
    EXPECT_EQ(p[0].existing.id, 42);
    EXPECT_EQ(p[0].existing.name, "Eski Çay");
    EXPECT_EQ(p[0].barcodeRows, (QList<int>{1, 3}));
    EXPECT_EQ(import::countFate(p, RowFate::InDatabase), 2);
}

TEST(RowPreview, repeats_in_the_file_point_at_the_first_row_which_is_still_added)
{
    const QList<RowPreview> p = preview({{"77", "Ayran", "8"},
                                         {"", "Su", "3"},
                                         {"77 ", "Ayran", "8"},
                                         {"", "Soda", "6"},
                                         {"77", "", "8"},  // skipped rows take no part
                                         {"77", "Ayran büyük", "12"}});
    EXPECT_EQ(fates(p), (QList<RowFate>{RowFate::WillAdd, RowFate::WillAdd, RowFate::RepeatInFile, RowFate::WillAdd,
                                        RowFate::SkippedNoName, RowFate::RepeatInFile}));
    EXPECT_EQ(p[0].barcodeRows, (QList<int>{1, 3, 6}));
    EXPECT_EQ(p[2].barcodeRows, p[0].barcodeRows);
    EXPECT_TRUE(p[1].barcodeRows.isEmpty()) << "empty barcodes are never duplicates";
}

TEST(RowPreview, rows_sharing_one_barcode_share_one_list_of_them)
{
    // A list of its own on every row would be 20,000 x 20,000 row numbers: 1.6 GB.
    constexpr int kRows = 20000;
    const QList<ProductRow> rows(kRows, ProductRow{"0", "Çay", "5"});
    const QList<RowPreview> p = preview(rows);
    ASSERT_EQ(p.size(), kRows);
    EXPECT_EQ(p.first().fate, RowFate::WillAdd);
    EXPECT_EQ(p.last().fate, RowFate::RepeatInFile);
    EXPECT_EQ(import::notAddedReason(p.last()), "barkod dosyada daha önce geçiyor: satır 1");
    EXPECT_EQ(import::duplicateQuestion(p), "0 ürünün barkodu zaten kayıtlı; 1 barkod dosyada birden çok kez geçiyor.");
    ASSERT_EQ(p.first().barcodeRows.size(), kRows);
    EXPECT_EQ(p.first().barcodeRows.constData(), p.last().barcodeRows.constData()) << "each row holds a copy";
}

TEST(RowPreview, long_cell_texts_are_judged_without_parsing_and_quoted_short)
{
    const QString million = QString(1'000'000, u'9');
    const QString clipped = million.left(100) + QStringLiteral("…");
    // The same long price on a hundred rows, as one shared string repeats it.
    QList<ProductRow> rows(100, ProductRow{QString::number(1), QStringLiteral("Çay"), million});
    rows << ProductRow{million, QStringLiteral("Uzun barkod"), QStringLiteral("5")}
         << ProductRow{QStringLiteral("7"), QStringLiteral("Seksen beş haneli"), QString(85, u'1')};
    const ExistingBarcodes existing{{QStringLiteral("7"), ExistingItem{3, QString(500, u'a'), {}, {}, 1}}};
    const QList<RowPreview> p = preview(rows, existing);
    ASSERT_EQ(p.size(), 102);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(import::notAddedReason(p[i]), QStringLiteral("fiyat bir sayı değil (“%1”)").arg(clipped)) << "row " << i + 1;
    EXPECT_EQ(p[100].fate, RowFate::WillAdd);
    EXPECT_EQ(p[100].product->barcode, million.left(50));
    EXPECT_EQ(import::notAddedReason(p[101]), QStringLiteral("fiyat bir sayı değil (“%1”)").arg(QString(85, u'1')));
    rows[101].price = QStringLiteral("5");
    EXPECT_EQ(import::notAddedReason(preview(rows, existing)[101]),
              QStringLiteral("barkod zaten kayıtlı: “%1…” (no 3)").arg(QString(100, u'a')));
}

TEST(RowPreview, barcodes_compare_as_stored_so_two_cut_to_the_same_fifty_are_repeats)
{
    const QList<RowPreview> p = preview({{k60 + "1", QString(55, u'a'), "10"}, {k60 + "2", "Kısa", "10"}});
    EXPECT_EQ(fates(p), (QList<RowFate>{RowFate::WillAdd, RowFate::RepeatInFile}));
    EXPECT_EQ(p[0].product->barcode, k60.left(50));
    EXPECT_EQ(p[0].warnings, unsigned(import::NameCut | import::BarcodeCut));
    EXPECT_EQ(p[1].warnings, unsigned(import::BarcodeCut));
}

TEST(RowPreview, warnings_leave_the_row_to_be_added)
{
    const QString broken = QStringLiteral("Kahve ") + QChar(0xD83D);  // half of an emoji
    const QList<RowPreview> p = preview({{"1", "Bedava", "0"}, {"2", "İade", "-3,25"}, {"3", broken, "40"}}, {},
                                        QLocale(QLocale::Turkish, QLocale::Turkey));
    EXPECT_EQ(fates(p), (QList<RowFate>{RowFate::WillAdd, RowFate::WillAdd, RowFate::WillAdd}));
    EXPECT_EQ(p[0].warnings, unsigned(import::PriceNotPositive));
    EXPECT_EQ(p[1].warnings, unsigned(import::PriceNotPositive));
    EXPECT_EQ(p[2].warnings, unsigned(import::NotStorable));
    ASSERT_TRUE(p[2].notStorable);
    EXPECT_STREQ(p[2].notStorable->column, "Name");
    EXPECT_EQ(import::previewSummary(p), "2 eklenecek (2 uyarıyla) · 1 eklenemeyecek");
}

TEST(RowPreview, a_price_read_with_the_locales_group_separator_is_worth_a_look)
{
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const QList<RowPreview> p =
        preview({{"1", "Çay", "1.234"}, {"2", "Su", "12,5"}, {"3", "Kek", "1.234,50"}, {"4", "Ayran", "8"}}, {}, turkish);
    EXPECT_EQ(p[0].warnings, unsigned(import::PriceGrouped));
    EXPECT_EQ(p[0].product->price, 1234);
    EXPECT_EQ(p[1].warnings, unsigned(import::NoWarning));
    EXPECT_EQ(p[2].warnings, unsigned(import::PriceGrouped));
    EXPECT_EQ(import::previewSummary(p), "4 eklenecek (2 uyarıyla)");
    // Under English rules the comma groups and the point is the decimal one.
    const QList<RowPreview> english = preview({{"1", "Tea", "1,234"}, {"2", "Water", "1.5"}}, {}, QLocale(QLocale::English));
    EXPECT_EQ(english[0].warnings, unsigned(import::PriceGrouped));
    EXPECT_EQ(english[1].warnings, unsigned(import::NoWarning));
}

TEST(RowPreview, the_summary_and_the_duplicate_question_count_what_the_operator_must_know)
{
    const ExistingBarcodes existing{{QStringLiteral("1"), ExistingItem{9, QStringLiteral("Eski"), {}, {}, 1}}};
    const QList<RowPreview> p = preview({{"1", "Çay", "5"}, {"1", "Çay", "5"}, {"2", "Su", "3"}, {"2", "Su", "3"},
                                         {"2", "Su", "3"}, {"3", "Kek", "x"}, {"4", "Kola", "9"}, {"", "", ""}},
                                        existing);
    EXPECT_EQ(import::previewSummary(p), "2 eklenecek · 1 atlanacak · 2 barkod zaten kayıtlı · 2 barkod dosyada tekrar");
    EXPECT_EQ(import::duplicateQuestion(p), "2 ürünün barkodu zaten kayıtlı; 1 barkod dosyada birden çok kez geçiyor.");

    const QList<RowPreview> clean = preview({{"7", "Ayran", "8"}});
    EXPECT_EQ(import::previewSummary(clean), "1 eklenecek");
    EXPECT_EQ(import::duplicateQuestion(clean), "");
}

class EditedRow : public ::testing::TestWithParam<bool> {};

// With prices updated or not.
TEST_P(EditedRow, judged_again_agrees_with_judging_the_whole_grid)
{
    // Barcodes from a small pool so that repeats come and go with the edits.
    const ExistingBarcodes existing{
        {QStringLiteral("b3"), ExistingItem{3, QStringLiteral("Üç"), import::ItemPrice{3, 3, 5}, {}, 1}},
        {QStringLiteral("b5"), ExistingItem{5, QStringLiteral("Beş"), {}, import::PriceProblem::SeveralPortions, 2}}};
    import::SaveChoices choices;
    choices.locale = QLocale(QLocale::Turkish, QLocale::Turkey);
    choices.updatePrices = GetParam();
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    const auto randomRow = [&next]() {
        const char *prices[] = {"5", "x", "0", "12,5"};
        return ProductRow{next(5) ? QStringLiteral("b%1").arg(next(8)) : QString(),
                          next(6) ? QStringLiteral("Ürün %1").arg(next(50)) : QString(), QString::fromLatin1(prices[next(4)])};
    };
    QList<ProductRow> rows;
    for (int i = 0; i < 60; ++i)
        rows << randomRow();
    import::GridVerdicts verdicts(choices, existing, ado::TextFidelity::unicode());
    verdicts.judgeAll(rows);
    for (int edit = 0; edit < 400; ++edit) {
        const int gridRow = int(next(60)) + 1;
        rows[gridRow - 1] = randomRow();
        verdicts.judgeRow(gridRow, rows[gridRow - 1]);
        const QList<RowPreview> whole = import::previewRows(rows, choices, existing, ado::TextFidelity::unicode());
        for (int i = 0; i < 60; ++i) {
            const RowPreview &a = verdicts.previews()[i];
            const RowPreview &b = whole[i];
            ASSERT_EQ(a.fate, b.fate) << "edit " << edit << ", row " << i + 1;
            ASSERT_EQ(a.barcodeRows, b.barcodeRows) << "edit " << edit << ", row " << i + 1;
            ASSERT_EQ(a.existing.id, b.existing.id) << "edit " << edit << ", row " << i + 1;
            ASSERT_EQ(a.update.has_value(), b.update.has_value()) << "edit " << edit << ", row " << i + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RowPreview, EditedRow, ::testing::Bool(),
                         [](const auto &info) { return std::string(info.param ? "updating_prices" : "adding"); });
