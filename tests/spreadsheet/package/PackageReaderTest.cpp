// Workbooks saved by LibreOffice and Gnumeric as .xlsx, .xlsm and .ods, read
// back and held to the texts the .xls reader gives for the same list saved as
// .xls; then the cell kinds of both formats one by one.

#include "spreadsheet/package/PackageReader.h"
#include "spreadsheet/xls/XlsReader.h"
#include "tests/common/NamedCases.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/StoredRows.h"
#include "ZipBuilder.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

using spreadsheet::ReadError;
using Row = spreadsheet::RowCells;

const QString kData = QStringLiteral(SHEETS_TEST_DATA "/");
const QLocale kTurkish(QLocale::Turkish, QLocale::Turkey);

QByteArray fileBytes(const QString &name)
{
    QFile file(kData + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

spreadsheet::SheetColumns read(const QByteArray &file)
{
    return spreadsheet::readWorkbookPackage(file, kTurkish);
}

class ProductListTwinTest : public testing::TestWithParam<const char *> {};

TEST_P(ProductListTwinTest, reads_the_texts_of_the_xls_twin)
{
    const spreadsheet::SheetColumns twin =
        spreadsheet::xls::readColumnsAtoCFromBytes(fileBytes(QStringLiteral("lo_products.xls")), kTurkish);
    ASSERT_TRUE(twin.ok()) << twin.detail().toStdString();
    const spreadsheet::SheetColumns sheet = read(fileBytes(QString::fromLatin1(GetParam())));
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.damaged) << sheet.damage.toStdString();
    ASSERT_EQ(sheet.rows.size(), twin.rows.size());
    for (std::size_t row = 0; row < twin.rows.size(); ++row)
        EXPECT_EQ(sheet.rows[row], twin.rows[row]) << "row " << row + 1;
}

INSTANTIATE_TEST_SUITE_P(Files, ProductListTwinTest,
                         testing::Values("lo_products.xlsx", "lo_products.xlsm", "gnumeric_products.xlsx",
                                         "lo_products.ods"));

class HiddenFirstSheetTest : public testing::TestWithParam<const char *> {};

TEST_P(HiddenFirstSheetTest, is_still_the_sheet_read)
{
    const spreadsheet::SheetColumns sheet = read(fileBytes(QString::fromLatin1(GetParam())));
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    ASSERT_EQ(sheet.rows.size(), 1u);
    EXPECT_EQ(sheet.rows[0], (Row{"gizli sayfa", "1", ""}));
}

INSTANTIATE_TEST_SUITE_P(Files, HiddenFirstSheetTest, testing::Values("hidden_first.xlsx", "hidden_first.ods"));

// One package, the rows it must read as, and whether some cell was unreadable.
struct CellsCase {
    const char *name;
    QByteArray file;
    std::vector<Row> rows;
    bool damaged = false;
};

void PrintTo(const CellsCase &c, std::ostream *out) { *out << c.name; }

class CellKindsTest : public testing::TestWithParam<CellsCase> {};

TEST_P(CellKindsTest, read_as_the_shared_rules_write_them)
{
    const spreadsheet::SheetColumns sheet = read(GetParam().file);
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_EQ(sheet.damaged, GetParam().damaged) << sheet.damage.toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), GetParam().rows);
}

QByteArray odsRow(const QByteArray &cells, int repeat = 1)
{
    const QByteArray repeated = repeat > 1 ? " table:number-rows-repeated=\"" + QByteArray::number(repeat) + "\"" : "";
    return "<table:table-row" + repeated + ">" + cells + "</table:table-row>";
}

const CellsCase kOpenXmlCells[] = {
    {"shared_formulas_give_each_cell_its_cached_result",
     openXmlPackage(R"(<row r="1"><c r="C1"><f t="shared" ref="C1:C2" si="0">A1*2.5</f><v>2.5</v></c></row>
<row r="2"><c r="C2"><f t="shared" si="0"/><v>5</v></c></row>)"),
     {{"", "", "2,5"}, {"", "", "5"}}},
    {"inline_rich_and_shared_strings",
     openXmlPackage(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>satır içi</t></is></c><c r="B1" t="s"><v>0</v></c>)"
                    R"(<c r="C1" t="inlineStr"><is><r><t>zengin </t></r><r><rPr><b/></rPr><t>metin</t></r></is></c></row>)",
                    "<si><r><t>payla</t></r><r><t>şılan</t></r><rPh sb=\"0\" eb=\"1\"><t>okunuş</t></rPh></si>"),
     {{"satır içi", "paylaşılan", "zengin metin"}}},
    {"cached_results_of_every_type",
     openXmlPackage(R"(<row r="1"><c r="A1" t="b"><f>1&lt;2</f><v>1</v></c><c r="B1" t="e"><f>1/0</f><v>#DIV/0!</v></c>)"
                    R"(<c r="C1" t="str"><f>"a"&amp;"b"</f><v>ab</v></c></row>)"),
     {{"TRUE", "#DIV/0!", "ab"}}},
    {"iso_dates_in_d_cells", openXmlPackage(R"(<row r="1"><c r="A1" t="d"><v>2024-03-15</v></c></row>)"),
     {{"15.03.2024", "", ""}}},
    {"cells_and_rows_without_a_reference_follow_the_one_before",
     openXmlPackage(R"(<row r="2"><c r="B2"><v>1</v></c><c><v>2</v></c><c><v>3</v></c></row><row><c><v>4</v></c></row>)"),
     {{"", "", ""}, {"", "1", "2", "3"}, {"4", "", ""}}},
    {"a_cell_outside_any_row_is_dropped", openXmlPackage(R"(<c><v>1</v></c><row><c><v>2</v></c></row>)"),
     {{"2", "", ""}}},
    {"cells_out_of_column_order_and_given_twice_keep_the_later_text",
     openXmlPackage(R"(<row r="3"><c r="C3"><v>3</v></c><c r="A3"><v>1</v></c><c r="C3"><v>7</v></c></row>)"),
     {{"", "", ""}, {"", "", ""}, {"1", "", "7"}}},
    {"a_row_that_comes_again_after_later_rows_gets_its_late_cells",
     openXmlPackage(R"(<row r="1"><c r="A1"><v>1</v></c><c r="C1"><v>3</v></c></row><row r="3"><c r="A3"><v>4</v></c></row>)"
                    R"(<row r="1"><c r="B1"><v>2</v></c><c r="C1"><v>9</v></c></row><row r="2"><c r="D2"><v>5</v></c></row>)"),
     {{"1", "2", "9"}, {"", "", "", "5"}, {"4", "", ""}}},
    {"one_shared_string_in_many_cells",
     openXmlPackage(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>0</v></c></row>)"
                    R"(<row r="2"><c r="C2" t="s"><v>0</v></c></row>)",
                    "<si><t>Çay</t></si>"),
     {{"Çay", "Çay", ""}, {"", "", "Çay"}}},
    {"zero_padded_formats_keep_leading_zeros_and_prices_stay_plain",
     openXmlPackageWithStyles(
         R"(<row r="1"><c r="A1" s="1"><v>12345678905</v></c><c r="B1" s="2"><v>12345</v></c><c r="C1" s="3"><v>7.5</v></c></row>)"
         R"(<row r="2"><c r="A2" s="4"><v>42</v></c><c r="B2" s="5"><v>42</v></c><c r="C2" s="9"><v>42</v></c></row>)",
         R"(<numFmts count="3"><numFmt numFmtId="164" formatCode="0000000000000"/>)"
         R"(<numFmt numFmtId="165" formatCode="&quot;TR&quot;0000000"/><numFmt numFmtId="166" formatCode="#,##0.00"/></numFmts>)"
         R"(<cellXfs count="6"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="166"/>)"
         R"(<xf numFmtId="1"/><xf numFmtId="2"/></cellXfs>)"),
     {{"0012345678905", "TR0012345", "7,5"}, {"42", "42", "42"}}},
    {"a_formula_without_result_and_a_missing_string_are_counted",
     openXmlPackage(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>9</v></c><c r="C1"><f>A1</f></c></row>)",
                    "<si><t>var</t></si>"),
     {{"var", "", ""}},
     true},
};

INSTANTIATE_TEST_SUITE_P(OpenXml, CellKindsTest, testing::ValuesIn(kOpenXmlCells),
                         ByName());

// `parts` with part `name` given `content`, added when it is not there.
PackageParts withPart(PackageParts parts, const QString &name, const QByteArray &content)
{
    const auto found = std::find_if(parts.begin(), parts.end(), [&](const auto &part) { return part.first == name; });
    if (found == parts.end())
        parts.emplace_back(name, content);
    else
        found->second = content;
    return parts;
}

// A sheet whose cell A1 holds serial 0 with a date format, in a workbook whose
// <workbookPr> says date1904 and whose extension list has a workbookPr of its own.
QByteArray date1904WithExtension()
{
    const PackageParts parts = openXmlParts(R"(<row r="1"><c r="A1" s="1"><v>0</v></c></row>)");
    return zipOf(withPart(
        withPart(withPart(parts, QStringLiteral("xl/workbook.xml"),
                          R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                          R"(<workbookPr date1904="1"/><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets>)"
                          R"(<extLst><ext uri="{140A7094-0E35-4892-8432-C4D2E57EDEB5}" xmlns:x15="http://schemas.microsoft.com/office/spreadsheetml/2010/11/main">)"
                          R"(<x15:workbookPr chartTrackingRefBase="1"/></ext></extLst></workbook>)"),
                 QStringLiteral("xl/_rels/workbook.xml.rels"),
                 R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                 R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
                 R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)"),
        QStringLiteral("xl/styles.xml"),
        R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)"));
}

// The string table stored under a name whose case differs from its relationship's target.
QByteArray stringTableInOtherCase()
{
    PackageParts parts = openXmlParts(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)", "<si><t>Çay</t></si>");
    for (auto &part : parts) {
        if (part.first == u"xl/sharedStrings.xml")
            part.first = QStringLiteral("xl/SharedStrings.xml");
    }
    return zipOf(parts);
}

const CellsCase kOpenXmlRepairs[] = {
    {"escapes_in_shared_strings",
     openXmlPackage(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c></row>)"
                    R"(<row r="2"><c r="A2" t="s"><v>3</v></c><c r="B2" t="s"><v>4</v></c><c r="C2" t="s"><v>5</v></c></row>)"
                    R"(<row r="3"><c r="A3" t="s"><v>6</v></c><c r="B3" t="s"><v>7</v></c><c r="C3" t="s"><v>8</v></c></row>)",
                    "<si><t>Çay_x000D_\nDemli</t></si><si><t>A_x005F_x0030_B</t></si><si><t>ABC_x0031__x0032__x0033_DEF</t></si>"
                    "<si><t>_xC1EF_</t></si><si><r><t>_xD801__xDC05_</t></r></si><si><t>_xD801__x0038_</t></si>"
                    "<si><t>_x0039__xDC05_</t></si><si><t>_x000d_ _x00e7_ _x12G4_ _X0041_</t></si><si><t>_x005F_x005F_</t></si>"),
     {{"Çay\r\nDemli", "A_x0030_B", "ABC123DEF"},
      {QString(QChar(0xC1EF)), QString::fromUtf16(u"\U00010405"), QString::fromUtf16(u"\uFFFD8")},
      {QString::fromUtf16(u"9\uFFFD"), "\r ç _x12G4_ _X0041_", "_x005F_"}}},
    {"escapes_in_inline_strings",
     openXmlPackage(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>Rich Text_x000d_)" "\n" R"(Test</t></is></c>)"
                    R"(<c r="B1" t="inlineStr"><is><t>_x005F_x000D_</t></is></c></row>)"),
     {{"Rich Text\r\nTest", "_x000D_", ""}}},
    {"a_time_of_day_alone_in_a_d_cell",
     openXmlPackage(R"(<row r="1"><c r="A1" t="d"><v>10:10:10</v></c><c r="B1" t="d"><v>23:44:51.894</v></c>)"
                    R"(<c r="C1" t="d"><v>24:00:00</v></c></row>)"),
     {{"10:10", "23:44", ""}},
     true},
    {"date1904_is_kept_past_an_extension_of_the_same_name", date1904WithExtension(), {{"1.01.1904", "", ""}}},
    {"part_names_compare_without_case", stringTableInOtherCase(), {{"Çay", "", ""}}},
};

INSTANTIATE_TEST_SUITE_P(OpenXmlRepairs, CellKindsTest, testing::ValuesIn(kOpenXmlRepairs),
                         ByName());

const CellsCase kOpenDocumentCells[] = {
    {"repeated_rows_and_columns_are_real_copies",
     openDocumentPackage(odsRow(R"(<table:table-cell office:value-type="float" office:value="4.5" table:number-columns-repeated="4"/>)", 3)
                         + odsRow(R"(<table:table-cell office:value-type="string"><text:p>son</text:p></table:table-cell>)")),
     {{"4,5", "4,5", "4,5", "4,5"}, {"4,5", "4,5", "4,5", "4,5"}, {"4,5", "4,5", "4,5", "4,5"}, {"son", "", ""}}},
    {"typed_values",
     openDocumentPackage(
         odsRow(R"(<table:table-cell office:value-type="percentage" office:value="0.18"><text:p>18%</text:p></table:table-cell>)"
                R"(<table:table-cell office:value-type="currency" office:currency="TRY" office:value="1234.5"><text:p>1.234,50 ₺</text:p></table:table-cell>)"
                R"(<table:table-cell office:value-type="boolean" office:boolean-value="false"><text:p>FALSE</text:p></table:table-cell>)")
         + odsRow(R"(<table:table-cell office:value-type="date" office:date-value="2024-03-15T13:45:00"/>)"
                  R"(<table:table-cell office:value-type="time" office:time-value="PT13H45M00S"/>)"
                  R"(<table:table-cell office:value-type="date" office:date-value="1900-02-28"/>)")),
     {{"0,18", "1234,5", "FALSE"}, {"15.03.2024 13:45", "13:45", "28.02.1900"}}},
    {"formula_results_as_values",
     openDocumentPackage(odsRow(
         R"(<table:table-cell table:formula="of:=1/0" office:value-type="string" office:string-value="" calcext:value-type="error"><text:p>#DIV/0!</text:p></table:table-cell>)"
         R"(<table:table-cell table:formula="of:=&quot;Sim&quot;&amp;&quot;it&quot;" office:value-type="string" office:string-value="Simit"><text:p>Simit</text:p></table:table-cell>)"
         R"(<table:table-cell table:formula="of:=1&lt;2" office:value-type="boolean" office:boolean-value="true"><text:p>TRUE</text:p></table:table-cell>)")),
     {{"#DIV/0!", "Simit", "TRUE"}}},
    {"paragraphs_spaces_tabs_and_breaks_without_comments",
     openDocumentPackage(odsRow(
         R"(<table:table-cell office:value-type="string"><office:annotation><text:p>not</text:p></office:annotation>)"
         R"(<text:p>a<text:s text:c="3"/>b<text:tab/>c</text:p><text:p><text:span>d</text:span><text:line-break/>e<text:s/></text:p></table:table-cell>)")),
     {{"a   b\tc\nd\ne ", "", ""}}},
    {"header_rows_groups_and_covered_cells_are_rows_and_cells",
     openDocumentPackage(
         "<table:table-header-rows>"
         + odsRow(R"(<table:table-cell table:number-columns-spanned="2" office:value-type="string"><text:p>baş</text:p></table:table-cell>)"
                  R"(<table:covered-table-cell office:value-type="float" office:value="7"/><table:table-cell office:value-type="float" office:value="8"/>)")
         + "</table:table-header-rows><table:table-row-group>"
         + odsRow(R"(<table:table-cell/><table:table-cell office:value-type="float" office:value="9"/>)")
         + "</table:table-row-group>"),
     {{"baş", "7", "8"}, {"", "9", ""}}},
    {"min_integer_digits_keep_leading_zeros_and_prices_stay_plain",
     openDocumentPackageWithStyles(
         "<table:table-column table:number-columns-repeated=\"2\"/><table:table-column table:default-cell-style-name=\"ce1\"/>"
         + odsRow(R"(<table:table-cell table:style-name="ce1" office:value-type="float" office:value="12345678905"/>)"
                  R"(<table:table-cell table:style-name="ce2" office:value-type="float" office:value="12345"/>)"
                  R"(<table:table-cell table:style-name="ce3" office:value-type="float" office:value="7.5"/>)")
         + odsRow(R"(<table:table-cell table:style-name="ce4" office:value-type="float" office:value="42"/>)"
                  R"(<table:table-cell table:style-name="ce1" office:value-type="percentage" office:value="0.5"/>)"
                  R"(<table:table-cell office:value-type="float" office:value="42"/>)"),
         R"(<number:number-style style:name="N1"><number:number number:decimal-places="0" number:min-integer-digits="13"/></number:number-style>)"
         R"(<number:number-style style:name="N2"><number:text>TR</number:text><number:number number:decimal-places="0" number:min-integer-digits="7"/></number:number-style>)"
         R"(<number:number-style style:name="N3"><number:number number:decimal-places="2" number:min-integer-digits="5"/></number:number-style>)"
         R"(<number:number-style style:name="N4"><number:number number:decimal-places="0" number:min-integer-digits="5" number:grouping="true"/></number:number-style>)"
         R"(<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>)"
         R"(<style:style style:name="ce2" style:family="table-cell" style:data-style-name="N2"/>)"
         R"(<style:style style:name="ce3" style:family="table-cell" style:data-style-name="N3"/>)"
         R"(<style:style style:name="ce4" style:family="table-cell" style:data-style-name="N4"/>)"),
     {{"0012345678905", "TR0012345", "7,5"}, {"42", "0,5", "0000000000042"}}},
    {"an_unreadable_value_is_counted",
     openDocumentPackage(odsRow(R"(<table:table-cell office:value-type="float" office:value="x"/><table:table-cell office:value-type="float" office:value="1"/>)")),
     {{"", "1", ""}},
     true},
    {"a_blank_cell_repeated_past_the_last_column_leaves_the_value_after_it_out",
     openDocumentPackage(odsRow(R"(<table:table-cell table:number-columns-repeated="16384"/>)"
                                R"(<table:table-cell office:value-type="string"><text:p>uzak</text:p></table:table-cell>)")
                         + odsRow(R"(<table:table-cell office:value-type="string"><text:p>son</text:p></table:table-cell>)")),
     {{"", "", ""}, {"son", "", ""}}},
    {"a_value_after_repeated_blank_cells_widens_its_row_to_it",
     openDocumentPackage(odsRow(R"(<table:table-cell table:number-columns-repeated="200"/>)"
                                R"(<table:table-cell office:value-type="string"><text:p>uzak</text:p></table:table-cell>)"
                                R"(<table:table-cell table:number-columns-repeated="16384"/>)")),
     [] {
         Row row(201);
         row[200] = "uzak";
         return std::vector<Row>{row};
     }()},
    {"a_value_repeated_past_the_last_column_fills_it",
     openDocumentPackage(odsRow(R"(<table:table-cell office:value-type="string" table:number-columns-repeated="300">)"
                                R"(<text:p>x</text:p></table:table-cell>)")),
     {Row(spreadsheet::kMaxColumns, QStringLiteral("x"))}},
    {"a_column_style_past_c_formats_its_numbers",
     openDocumentPackageWithStyles(
         R"(<table:table-column table:number-columns-repeated="4"/><table:table-column table:default-cell-style-name="ce1"/>)"
         + odsRow(R"(<table:table-cell table:number-columns-repeated="4"/><table:table-cell office:value-type="float" office:value="42"/>)"),
         R"(<number:number-style style:name="N1"><number:number number:decimal-places="0" number:min-integer-digits="13"/></number:number-style>)"
         R"(<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>)"),
     {{"", "", "", "", "0000000000042"}}},
};

INSTANTIATE_TEST_SUITE_P(OpenDocument, CellKindsTest, testing::ValuesIn(kOpenDocumentCells),
                         ByName());

struct RowsCase {
    const char *name;
    QByteArray file;
    ReadError error;
    std::size_t rows;
};

void PrintTo(const RowsCase &c, std::ostream *out) { *out << c.name; }

class SheetExtentTest : public testing::TestWithParam<RowsCase> {};

TEST_P(SheetExtentTest, rows_end_at_the_last_value_and_at_the_row_limit)
{
    const spreadsheet::SheetColumns sheet = read(GetParam().file);
    EXPECT_EQ(sheet.error, GetParam().error) << sheet.detail().toStdString();
    EXPECT_EQ(sheet.rows.size(), GetParam().rows);
}

// A value in column A after `rows` repeated empty rows.
QByteArray valueAfterRepeatedRows(int rows)
{
    return odsRow("<table:table-cell/>", rows)
           + odsRow(R"(<table:table-cell office:value-type="float" office:value="1"/>)");
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, SheetExtentTest,
    testing::Values(
        RowsCase{"empty_xlsx_sheet", openXmlPackage({}), ReadError::None, 0},
        RowsCase{"empty_ods_table", openDocumentPackage({}), ReadError::None, 0},
        RowsCase{"only_past_column_iv_and_formats",
                 openXmlPackage(R"(<row r="4"><c r="IW4"><v>1</v></c></row><row r="9"><c r="A9" s="1"/></row>)"),
                 ReadError::None, 0},
        RowsCase{"xlsx_last_row", openXmlPackage(R"(<row r="1048576"><c r="C1048576"><v>1</v></c></row>)"),
                 ReadError::None, 1'048'576},
        RowsCase{"xlsx_past_the_last_row", openXmlPackage(R"(<row r="1048577"><c r="A1048577"><v>1</v></c></row>)"),
                 ReadError::TooManyRows, 0},
        RowsCase{"ods_last_row", openDocumentPackage(valueAfterRepeatedRows(1'048'575)), ReadError::None, 1'048'576},
        RowsCase{"ods_past_the_last_row", openDocumentPackage(valueAfterRepeatedRows(2'000'000'000)),
                 ReadError::TooManyRows, 0},
        RowsCase{"ods_empty_rows_repeated_at_the_end",
                 openDocumentPackage(odsRow(R"(<table:table-cell office:value-type="float" office:value="1"/>)")
                                     + odsRow("<table:table-cell table:number-columns-repeated=\"1024\"/>", 1'048'575)),
                 ReadError::None, 1},
        RowsCase{"ods_rows_of_a_blank_cell_repeated_past_the_last_column_repeated_a_million_times",
                 openDocumentPackage(odsRow("<table:table-cell table:number-columns-repeated=\"16384\"/>", 1'000'000)
                                     + odsRow(R"(<table:table-cell office:value-type="float" office:value="1"/>)")),
                 ReadError::None, 1'000'001},
        RowsCase{"ods_value_repeated_past_the_last_row",
                 openDocumentPackage(odsRow(R"(<table:table-cell office:value-type="float" office:value="1"/>)", 1'048'577)),
                 ReadError::TooManyRows, 0}),
    [](const testing::TestParamInfo<RowsCase> &info) { return std::string(info.param.name); });

}  // namespace
