// Which first bytes of a file start a web page, and which read as text.
// Detection asks the first question before the second, so one table answers
// both.

#include "SheetRows.h"
#include "spreadsheet/csv/CsvReader.h"
#include "spreadsheet/html/HtmlReader.h"

#include <gtest/gtest.h>

namespace {

using spreadsheettest::utf16;

struct HeadCase {
    const char *name;
    QByteArray head;
    bool html;
    bool text;
};

class FirstBytesTest : public testing::TestWithParam<HeadCase> {};

TEST_P(FirstBytesTest, tell_web_pages_and_text)
{
    EXPECT_EQ(spreadsheet::looksLikeHtml(GetParam().head), GetParam().html);
    EXPECT_EQ(spreadsheet::looksLikeText(GetParam().head), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Text, FirstBytesTest,
    testing::Values(HeadCase{"empty", "", false, true},
                    HeadCase{"ascii_lines", "Barkod;Ad\tFiyat\r\nd\n", false, true},
                    HeadCase{"utf8_turkish", "Çay;Şeker", false, true},
                    HeadCase{"utf8_cut_inside_a_letter", "Çay;\xC5", false, true},
                    HeadCase{"windows_1254_turkish", "\xC7\x61y;\xDE\x65ker", false, true},
                    HeadCase{"utf16_le_with_bom", utf16("a;b\r\n", true), false, true},
                    HeadCase{"utf16_be_with_bom", utf16("a;b\r\n", false), false, true},
                    HeadCase{"utf16_le_cut_inside_a_letter", utf16("a;b", true).chopped(1), false, true}),
    ByName());

INSTANTIATE_TEST_SUITE_P(
    Binary, FirstBytesTest,
    testing::Values(HeadCase{"utf16_without_bom", QByteArray("a\0;\0b\0", 6), false, false},
                    HeadCase{"utf16_with_a_nul_character", utf16("a", true) + QByteArray("\0\0", 2), false, false},
                    HeadCase{"nul_byte", QByteArray("a;b\0c", 5), false, false},
                    HeadCase{"control_byte", "a;b\x01", false, false},
                    HeadCase{"escape_byte", "a\x1B[0m", false, false},
                    HeadCase{"delete_byte", "a\x7F", false, false},
                    HeadCase{"byte_undefined_in_1254", "\xC7\x61y\x81", false, false},
                    HeadCase{"compound_file", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", false, false},
                    HeadCase{"zip", "PK\x03\x04", false, false}),
    ByName());

INSTANTIATE_TEST_SUITE_P(
    WebPages, FirstBytesTest,
    testing::Values(HeadCase{"doctype", "<!DOCTYPE html>\n<html>", true, true},
                    HeadCase{"old_doctype", "<!doctype HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">", true, true},
                    HeadCase{"bom_and_blanks_before_html", "\xEF\xBB\xBF\r\n  \t<HTML lang=tr>", true, true},
                    HeadCase{"comments_before_table", "<!-- rapor --> <!--x--><table border=1>", true, true},
                    HeadCase{"xml_declaration_before_html", "<?xml version=\"1.0\"?>\n<html xmlns=\"x\">", true, true},
                    HeadCase{"head", "<head>", true, true},
                    HeadCase{"body_cut_after_its_name", "<body", true, true},
                    HeadCase{"meta", "<meta http-equiv=Content-Type content=\"text/html\">", true, true},
                    HeadCase{"style", "<style>td{}</style>", true, true},
                    HeadCase{"utf16_le", utf16("  <table>", true), true, true},
                    HeadCase{"table_tag_broken_by_another_tag", "<table<>", true, true},
                    HeadCase{"other_tag", "<div>", false, true},
                    HeadCase{"longer_tag_name", "<tablet>", false, true},
                    HeadCase{"other_doctype", "<!DOCTYPE svg>", false, true},
                    HeadCase{"xml_spreadsheet", "<?xml version=\"1.0\"?>\n<Workbook xmlns=\"x\">", false, true},
                    HeadCase{"comment_cut_short", "<!-- <html>", false, true},
                    HeadCase{"page_with_a_nul_byte", QByteArray("<html>\0", 7), true, false}),
    ByName());

}  // namespace
