// Workbooks saved by LibreOffice and Gnumeric as .xlsx and .ods, read back
// and held to the texts the .xls reader gives for the same list saved as .xls.

#include "spreadsheet/xls/XlsReader.h"
#include "tests/common/QtPrinters.h"
#include "spreadsheet/orcus/ColumnsFactory.h"
#include "spreadsheet/orcus/OrcusReader.h"
#include "ZipBuilder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <set>

namespace {

const QString kData = QStringLiteral(SHEETS_TEST_DATA "/");
const QLocale kTurkish(QLocale::Turkish, QLocale::Turkey);

QByteArray fileBytes(const QString &name)
{
    QFile file(kData + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

using Reader = spreadsheet::SheetColumns (*)(const QByteArray &, const QLocale &);

struct TwinCase {
    const char *file;
    Reader read;
    // Cells that liborcus 0.17 does not hand over from this writer's file and
    // that therefore read empty: inline strings, cached formula results that
    // are errors or booleans (and in .ods texts), .ods percent, currency and
    // boolean values.
    std::set<QString> lost;
    // Whether the reader could tell that some were lost (formulas without a result).
    bool damaged;
};

QString address(std::size_t row, int column)
{
    return QChar(u'A' + column) + QString::number(row + 1);
}

void PrintTo(const TwinCase &c, std::ostream *out) { *out << c.file; }

class ProductListTwinTest : public testing::TestWithParam<TwinCase> {};

TEST_P(ProductListTwinTest, reads_the_texts_of_the_xls_twin)
{
    const TwinCase &c = GetParam();
    const spreadsheet::SheetColumns twin = xls::readColumnsAtoCFromBytes(fileBytes(QStringLiteral("lo_products.xls")), kTurkish);
    ASSERT_TRUE(twin.ok()) << twin.message.toStdString();
    const spreadsheet::SheetColumns sheet = c.read(fileBytes(QString::fromLatin1(c.file)), kTurkish);
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    EXPECT_EQ(sheet.damaged, c.damaged) << sheet.message.toStdString();
    ASSERT_EQ(sheet.rows.size(), twin.rows.size());
    for (std::size_t row = 0; row < twin.rows.size(); ++row) {
        for (int column = 0; column < 3; ++column) {
            const bool lost = c.lost.count(address(row, column)) > 0;
            EXPECT_EQ(sheet.rows[row][std::size_t(column)], lost ? QString() : twin.rows[row][std::size_t(column)])
                << "row " << row + 1 << " column " << column << " twin: "
                << twin.rows[row][std::size_t(column)].toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ProductListTwinTest,
                         testing::Values(TwinCase{"lo_products.xlsx", spreadsheet::readOpenXml, {"C8", "B15"}, true},
                                         TwinCase{"lo_products.xlsm", spreadsheet::readOpenXml, {"C8", "B15"}, true},
                                         TwinCase{"gnumeric_products.xlsx",
                                                  spreadsheet::readOpenXml,
                                                  {"A1", "B1", "C1", "B2", "B3", "B4", "B5", "B6", "B7", "B8", "B9",
                                                   "B10", "A11", "B12", "B13", "B14", "B16", "C8", "B15"},
                                                  true},
                                         TwinCase{"lo_products.ods",
                                                  spreadsheet::readOpenDocument,
                                                  {"C7", "C8", "C9", "C10", "B11", "B15"},
                                                  true}));

}  // namespace

namespace {

struct HiddenCase {
    const char *file;
    Reader read;
};

class HiddenFirstSheetTest : public testing::TestWithParam<HiddenCase> {};

TEST_P(HiddenFirstSheetTest, is_still_the_sheet_read)
{
    const spreadsheet::SheetColumns sheet = GetParam().read(fileBytes(QString::fromLatin1(GetParam().file)), kTurkish);
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    ASSERT_EQ(sheet.rows.size(), 1u);
    EXPECT_EQ(sheet.rows[0], (std::array<QString, 3>{"gizli sayfa", "1", ""}));
}

INSTANTIATE_TEST_SUITE_P(Files, HiddenFirstSheetTest,
                         testing::Values(HiddenCase{"hidden_first.xlsx", spreadsheet::readOpenXml},
                                         HiddenCase{"hidden_first.ods", spreadsheet::readOpenDocument}));

TEST(OpenXmlCellsTest, shared_formulas_give_each_cell_its_cached_result)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readOpenXml(
        openXmlPackage(R"(<row r="1"><c r="A1"><v>1</v></c><c r="C1"><f t="shared" ref="C1:C3" si="0">A1*2.5</f><v>2.5</v></c></row>
<row r="2"><c r="A2"><v>2</v></c><c r="C2"><f t="shared" si="0"/><v>5</v></c></row>
<row r="3"><c r="A3"><v>3</v></c><c r="C3"><f t="shared" si="0"/><v>7.5</v></c></row>)"),
        kTurkish);
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    EXPECT_FALSE(sheet.damaged) << sheet.message.toStdString();
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(sheet.rows[0][2], "2,5");
    EXPECT_EQ(sheet.rows[1][2], "5");
    EXPECT_EQ(sheet.rows[2][2], "7,5");
}

TEST(OpenXmlCellsTest, inline_strings_are_lost_by_liborcus_0_17_beside_shared_ones)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readOpenXml(
        openXmlPackage(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>satır içi</t></is></c><c r="B1" t="s"><v>0</v></c></row>)",
                       "<si><t>paylaşılan</t></si>"),
        kTurkish);
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    ASSERT_EQ(sheet.rows.size(), 1u);
    EXPECT_EQ(sheet.rows[0], (std::array<QString, 3>{"", "paylaşılan", ""}));
}

TEST(OpenXmlCellsTest, a_missing_shared_string_leaves_its_cell_empty_and_the_sheet_damaged)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readOpenXml(
        openXmlPackage(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>9</v></c></row>)", "<si><t>var</t></si>"),
        kTurkish);
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    EXPECT_TRUE(sheet.damaged);
    EXPECT_EQ(sheet.rows[0], (std::array<QString, 3>{"var", "", ""}));
}

struct RowsCase {
    const char *name;
    QByteArray file;
    Reader read;
    spreadsheet::ReadError error;
    std::size_t rows;
};

void PrintTo(const RowsCase &c, std::ostream *out) { *out << c.name; }

class SheetExtentTest : public testing::TestWithParam<RowsCase> {};

TEST_P(SheetExtentTest, rows_end_at_the_last_value_in_a_to_c_and_at_the_row_limit)
{
    const spreadsheet::SheetColumns sheet = GetParam().read(GetParam().file, kTurkish);
    EXPECT_EQ(sheet.error, GetParam().error) << sheet.message.toStdString();
    EXPECT_EQ(sheet.rows.size(), GetParam().rows);
}

// A value in column A after `rows` repeated rows.
QByteArray valueAfterRepeatedRows(int rows)
{
    return QStringLiteral(R"(<table:table-row table:number-rows-repeated="%1"><table:table-cell/></table:table-row>)"
                          R"(<table:table-row><table:table-cell office:value-type="float" office:value="1"/></table:table-row>)")
        .arg(rows)
        .toLatin1();
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, SheetExtentTest,
    testing::Values(
        RowsCase{"empty_xlsx_sheet", openXmlPackage({}), spreadsheet::readOpenXml, spreadsheet::ReadError::None, 0},
        RowsCase{"empty_ods_table", openDocumentPackage({}), spreadsheet::readOpenDocument,
                 spreadsheet::ReadError::None, 0},
        RowsCase{"only_column_d_and_formats",
                 openXmlPackage(R"(<row r="4"><c r="D4"><v>1</v></c></row><row r="9"><c r="A9" s="1"/></row>)"),
                 spreadsheet::readOpenXml, spreadsheet::ReadError::None, 0},
        RowsCase{"xlsx_last_row", openXmlPackage(R"(<row r="1048576"><c r="C1048576"><v>1</v></c></row>)"),
                 spreadsheet::readOpenXml, spreadsheet::ReadError::None, 1'048'576},
        RowsCase{"xlsx_past_the_last_row", openXmlPackage(R"(<row r="1048577"><c r="A1048577"><v>1</v></c></row>)"),
                 spreadsheet::readOpenXml, spreadsheet::ReadError::TooManyRows, 0},
        RowsCase{"ods_last_row", openDocumentPackage(valueAfterRepeatedRows(1'048'575)),
                 spreadsheet::readOpenDocument, spreadsheet::ReadError::None, 1'048'576},
        RowsCase{"ods_past_the_last_row", openDocumentPackage(valueAfterRepeatedRows(2'000'000'000)),
                 spreadsheet::readOpenDocument, spreadsheet::ReadError::TooManyRows, 0}),
    [](const testing::TestParamInfo<RowsCase> &info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(OpenDocumentCellsTest, a_repeated_row_is_read_once_by_liborcus_0_17)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readOpenDocument(
        openDocumentPackage(R"(<table:table-row table:number-rows-repeated="3"><table:table-cell office:value-type="float" office:value="4.5" table:number-columns-repeated="4"/></table:table-row>)"
                            R"(<table:table-row><table:table-cell office:value-type="string"><text:p>son</text:p></table:table-cell></table:table-row>)"),
        kTurkish);
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    ASSERT_EQ(sheet.rows.size(), 4u);
    EXPECT_EQ(sheet.rows[0], (std::array<QString, 3>{"4,5", "4,5", "4,5"}));
    EXPECT_EQ(sheet.rows[1], (std::array<QString, 3>{}));
    EXPECT_EQ(sheet.rows[3][0], "son");
}

TEST(FirstSheetTest, filling_down_copies_a_value_and_stops_at_the_row_limit)
{
    spreadsheet::orcusimport::ColumnsFactory factory(spreadsheet::orcusimport::ColumnsFactory::Strings::WithTheirCells,
                                                    1'000);
    auto *sheet = factory.append_sheet(0, "S");
    sheet->set_value(1, 2, 2.5);
    sheet->fill_down_cells(1, 2, 2);
    sheet->fill_down_cells(1, 3, 500);  // column D: not kept, still counted
    const spreadsheet::SheetColumns columns = factory.columns(kTurkish);
    ASSERT_EQ(columns.rows.size(), 4u);
    EXPECT_EQ(columns.rows[3][2], "2,5");
    EXPECT_THROW(sheet->fill_down_cells(1, 2, spreadsheet::kMaxRows - 1), spreadsheet::orcusimport::RowLimitReached);
    EXPECT_THROW(sheet->fill_down_cells(1, 3, 600), spreadsheet::orcusimport::CellLimitReached);
}

}  // namespace
