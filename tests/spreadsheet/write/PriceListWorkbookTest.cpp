// A price list written to a workbook reads back through our own reader with
// barcodes as texts and prices as numbers, under any C library locale.

#include "spreadsheet/SheetFile.h"
#include "spreadsheet/write/PriceListWorkbook.h"
#include "tests/common/QtPrinters.h"
#include "tests/spreadsheet/write/WorkbookParts.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

namespace {

using spreadsheet::PriceRow;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(PriceListWorkbook, barcodes_are_text_cells_and_prices_number_cells_under_a_turkish_locale)
{
    const std::vector<PriceRow> rows{
        {QStringLiteral("0086900"), QStringLiteral("Çiğ köfte dürüm"), 12.5, QStringLiteral("Dürümler")},
        {QStringLiteral("8690000000001"), QStringLiteral("Ayran"), std::nullopt, QStringLiteral("İçecekler")},
        {QStringLiteral("000"), QStringLiteral("Şalgam 🌶"), 1234.75, QString()},
    };
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("menü.xlsx"));
    {
        const TurkishCLocale turkish;
        if (!turkish.active())
            GTEST_SKIP() << "no Turkish locale on this system; scripts/deps.sh generates tr_TR.UTF-8";
        ASSERT_TRUE(spreadsheet::writePriceListWorkbook(path, rows).ok());
    }

    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(path, QLocale(QLocale::Turkish, QLocale::Turkey));
    ASSERT_TRUE(sheet.ok() && !sheet.damaged) << sheet.detail().toStdString();
    const std::vector<spreadsheet::RowCells> expected{{"0086900", "Çiğ köfte dürüm", "12,5", "Dürümler"},
                                                       {"8690000000001", "Ayran", "", "İçecekler"},
                                                       {"000", "Şalgam 🌶", "1234,75"}};
    EXPECT_EQ(rowsOf(sheet.rows), expected);

    const QString xml = QString::fromUtf8(partOf(fileBytes(path), "xl/worksheets/sheet1.xml"));
    for (const char *cell : {"A1", "B1", "D1", "A2", "A3"})
        EXPECT_TRUE(xml.contains(QRegularExpression(QStringLiteral("<c r=\"%1\"[^>]* t=\"s\"").arg(cell)))) << cell;
    EXPECT_TRUE(xml.contains(QRegularExpression(QStringLiteral("<c r=\"C1\"[^>t]*><v>12.5</v></c>")))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QRegularExpression(QStringLiteral("<c r=\"C3\"[^>t]*><v>1234.75</v></c>"))));
    EXPECT_FALSE(xml.contains(QStringLiteral("r=\"C2\"")));
    EXPECT_FALSE(xml.contains(QRegularExpression(QStringLiteral("=\"[-+]?[0-9]+,[0-9]+\""))));
}

struct PriceCase {
    std::string name;
    std::optional<double> price;
    QString read;  // as the readers show it with a decimal point
};

class WrittenPrice : public ::testing::TestWithParam<PriceCase> {};

TEST_P(WrittenPrice, reads_back_as_the_number_it_was)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("menü.xlsx"));
    ASSERT_TRUE(
        spreadsheet::writePriceListWorkbook(path, {{QStringLiteral("1"), QStringLiteral("Çay"), GetParam().price, {}}})
            .ok());
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(path, QLocale::c());
    ASSERT_EQ(sheet.rows.size(), 1u) << sheet.detail().toStdString();
    EXPECT_EQ(sheet.rows[0][2], GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrittenPrice,
    ::testing::Values(PriceCase{"zero", 0.0, QStringLiteral("0")}, PriceCase{"negative", -3.25, QStringLiteral("-3.25")},
                      PriceCase{"a_tenth", 0.1, QStringLiteral("0.1")},
                      PriceCase{"many_digits", 1234567.891, QStringLiteral("1234567.891")},
                      PriceCase{"not_a_number", std::numeric_limits<double>::quiet_NaN(), QString()},
                      PriceCase{"infinite", std::numeric_limits<double>::infinity(), QString()}),
    [](const auto &info) { return info.param.name; });

}  // namespace
