// Web pages saved as .xls: the first table's cells as a browser shows them,
// on the columns colspan and rowspan give them, in the page's charset.

#include "SheetRows.h"
#include "spreadsheet/html/HtmlReader.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

namespace {

using namespace spreadsheettest;
using spreadsheet::ReadError;
using spreadsheet::SheetColumns;

struct PageCase {
    const char *name;
    QByteArray page;
    Rows expected;
};

class HtmlTableTest : public testing::TestWithParam<PageCase> {};

TEST_P(HtmlTableTest, reads_the_first_table)
{
    const SheetColumns sheet = spreadsheet::readHtmlTable(GetParam().page);
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.damaged);
    EXPECT_EQ(rowsOf(sheet.rows), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HtmlTableTest,
    testing::Values(
        PageCase{"plain_cells_stay_as_written",
                 "<html><body><table><tr><th>Barkod</th><th>Ad</th><th>Fiyat</th></tr>"
                 "<tr><td>0012345678905</td><td>Çay</td><td>12,50</td></tr></table></body></html>",
                 rows({{"Barkod", "Ad", "Fiyat"}, {"0012345678905", "Çay", "12,50"}})},
        PageCase{"entities",
                 "<table><tr><td>&amp;&lt;&gt;&quot;&#39;</td><td>&#304;&#x15F;&Ccedil;&uuml;</td>"
                 "<td>&euro;&nbsp;5</td></tr></table>",
                 rows({{"&<>\"'", "İşÇü", "€ 5"}})},
        PageCase{"white_space_collapses_and_trims",
                 "<table><tr><td>\n   Çay \t  demlik\r\n </td><td> <b>Ç</b>ay <i> x </i>y</td>"
                 "<td>a&nbsp;&nbsp;b</td></tr></table>",
                 rows({{"Çay demlik", "Çay x y", "a  b"}})},
        PageCase{"line_breaks_and_blocks",
                 "<table><tr><td><br>a <br> b<br/><br>c<br></td><td><div>x</div> <p>y</p>z</td>"
                 "<td><ul><li>1<li>2</ul></td></tr></table>",
                 rows({{"a\nb\n\nc", "x\ny\nz", "1\n2"}})},
        PageCase{"non_breaking_spaces_alone_are_empty",
                 "<table><tr><td>&nbsp;</td><td> &nbsp; <br>&nbsp;</td><td>&#160;x&#160;</td></tr>"
                 "<tr><td>&nbsp;</td></tr></table>",
                 rows({{"", "", "x"}})},
        PageCase{"scripts_and_styles_show_nothing",
                 "<table><tr><td>a<script>var x = '<td>';</script><style>td{}</style>b<!-- c --></td>"
                 "</tr></table>",
                 rows({{"ab", "", ""}})}),
    ByName());

INSTANTIATE_TEST_SUITE_P(
    Layout, HtmlTableTest,
    testing::Values(
        PageCase{"colspan_takes_the_columns_after_it",
                 "<table><tr><td colspan=2>a</td><td>b</td><td>past C</td></tr>"
                 "<tr><td>c</td><td colspan='5'>d</td><td>past C</td></tr></table>",
                 rows({{"a", "", "b", "past C"}, {"c", "d", "", "", "", "", "past C"}})},
        PageCase{"odd_colspan_values",
                 "<table><tr><td colspan=0>a</td><td colspan=x>b</td><td>c</td></tr>"
                 "<tr><td colspan=' +2px'>d</td><td>e</td></tr>"
                 "<tr><td colspan=99999999999999999999>f</td><td>g</td></tr></table>",
                 rows({{"a", "b", "c"}, {"d", "", "e"}, {"f", "", ""}})},
        PageCase{"rowspan_keeps_its_column_taken_below",
                 "<table><tr><td rowspan=2>a</td><td>b</td><td>c</td></tr>"
                 "<tr><td>d</td><td>e</td></tr>"
                 "<tr><td>f</td><td rowspan=3 colspan=2>g</td></tr>"
                 "<tr><td>h</td><td>i</td></tr></table>",
                 rows({{"a", "b", "c"}, {"", "d", "e"}, {"f", "g", ""}, {"h", "", "", "i"}})},
        PageCase{"rowspan_zero_reaches_the_end_of_the_table",
                 "<table><tr><td>a</td><td rowspan=0>b</td><td>c</td></tr>"
                 "<tr><td>d</td><td>e</td></tr><tr><td>f</td><td>g</td></tr></table>",
                 rows({{"a", "b", "c"}, {"d", "", "e"}, {"f", "", "g"}})},
        PageCase{"rows_of_a_table_inside_a_cell_stay_in_the_cell",
                 "<table><tr><td>1<table><tr><td>in1</td><td>in2</td></tr><tr><td>in3</td></tr></table></td>"
                 "<td>2</td></tr><tr><td>3</td></tr></table>",
                 rows({{"1\nin1 in2\nin3", "2", ""}, {"3", "", ""}})},
        PageCase{"only_the_first_table",
                 "<p>Rapor</p><table><tr><td>a</td></tr></table><table><tr><td>b</td></tr></table>",
                 rows({{"a", "", ""}})},
        PageCase{"row_groups_in_page_order_and_empty_rows_keep_places",
                 "<table><caption>Liste</caption><thead><tr><th>A</th></tr></thead><tbody><tr></tr>"
                 "<tr><td></td></tr><tr><td>x</td></tr></tbody><tfoot><tr><td>t</td></tr></tfoot>"
                 "<tr></tr><tr><td> </td></tr></table>",
                 rows({{"A", "", ""}, {"", "", ""}, {"", "", ""}, {"x", "", ""}, {"t", "", ""}})},
        PageCase{"tag_soup_without_closing_tags",
                 "<TABLE border=1><TR><TD>1<TD>Çay<TD>5<TR><TH>2<td>Su<p>soğuk<td>1</TABLE>",
                 rows({{"1", "Çay", "5"}, {"2", "Su\nsoğuk", "1"}})},
        PageCase{"cells_outside_rows_form_a_row",
                 "<table><td>a<td>b<tr><td>c</tr><td>d</table>",
                 rows({{"a", "b", ""}, {"c", "", ""}, {"d", "", ""}})},
        PageCase{"cells_inside_stray_inline_elements",
                 "<table><tr><font><td>a</td><td>b</td></font></tr><tr><div>junk</div><td>c</td></tr></table>",
                 rows({{"a", "b", ""}, {"c", "", ""}})},
        PageCase{"table_without_cells_has_no_rows", "<html><table><tr></tr></table></html>", {}}),
    ByName());

INSTANTIATE_TEST_SUITE_P(
    Charsets, HtmlTableTest,
    testing::Values(
        PageCase{"utf8_undeclared", "<table><tr><td>Şişe İçli</td></tr></table>", rows({{"Şişe İçli", "", ""}})},
        PageCase{"windows_1254_undeclared", "<table><tr><td>\xDEi\xFE\x65 \xDD\xE7li</td></tr></table>",
                 rows({{"Şişe İçli", "", ""}})},
        PageCase{"windows_1254_declared_by_meta_charset",
                 "<html><head><meta charset=\"windows-1254\"></head><table><tr><td>\xD0\xF0\xFD</td></tr></table>",
                 rows({{"Ğğı", "", ""}})},
        PageCase{"iso_8859_9_declared_by_http_equiv_reads_as_windows_1254",
                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-9\">"
                 "<table><tr><td>\xDD\x80</td></tr></table>",
                 rows({{"İ€", "", ""}})},
        PageCase{"utf8_declared_but_not_utf8",
                 "<meta charset=utf-8><table><tr><td>\xDE\x65ker</td></tr></table>", rows({{"Şeker", "", ""}})},
        PageCase{"byte_order_mark_wins_over_meta",
                 "\xEF\xBB\xBF<meta charset=windows-1254><table><tr><td>Şeker</td></tr></table>",
                 rows({{"Şeker", "", ""}})},
        PageCase{"utf16_le_with_byte_order_mark", utf16("<table><tr><td>Şeker</td><td>1,5</td></tr></table>", true),
                 rows({{"Şeker", "1,5", ""}})},
        PageCase{"unknown_charset_is_sniffed", "<meta charset=x-unknown><table><tr><td>\xFE</td></tr></table>",
                 rows({{"ş", "", ""}})}),
    ByName());

TEST(HtmlTableTest, page_without_a_table_is_not_a_spreadsheet)
{
    for (const QByteArray &page : {QByteArray("<html><body><p>Kayıt bulunamadı</p></body></html>"), QByteArray(),
                                   QByteArray("<!-- <table> -->"), QByteArray("<td>a</td>"),
                                   QByteArray("<table<>"), QByteArray("<html><table\n<>\n</html>")}) {
        const SheetColumns sheet = spreadsheet::readHtmlTable(page);
        EXPECT_EQ(sheet.error, ReadError::NotSpreadsheet) << page.toStdString();
        EXPECT_TRUE(sheet.detail().contains("no table")) << sheet.detail().toStdString();
    }
}

TEST(HtmlTableTest, deep_nesting_in_a_cell_is_read)
{
    const int depth = 100'000;
    const QByteArray page = "<table><tr><td>" + QByteArray("<div><span>").repeated(depth) + "x" +
                            QByteArray("</span></div>").repeated(depth) + "</td><td>y</td></tr></table>";
    const SheetColumns sheet = spreadsheet::readHtmlTable(page);
    ASSERT_TRUE(sheet.ok());
    ASSERT_FALSE(sheet.rows.empty());
    EXPECT_EQ(sheet.rows[0][0], "x");
}

}  // namespace
