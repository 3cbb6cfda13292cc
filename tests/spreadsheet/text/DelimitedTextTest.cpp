// Delimited text: delimiters, quoting, line ends, encodings, exact cell
// texts and the row limit.

#include "SheetRows.h"
#include "spreadsheet/csv/CsvReader.h"
#include "spreadsheet/csv/CsvTokenizer.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

namespace {

using namespace spreadsheettest;
using spreadsheet::ReadError;
using spreadsheet::SheetColumns;

SheetColumns read(const char *text)
{
    return spreadsheet::readDelimitedText(QByteArray(text));
}

struct TextCase {
    const char *name;
    const char *text;
    Rows expected;
};

class DelimitedTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(DelimitedTextTest, reads_every_field_of_each_record)
{
    const SheetColumns sheet = read(GetParam().text);
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.damaged) << sheet.damage.toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Delimiters, DelimitedTextTest,
    testing::Values(
        TextCase{"semicolons_beside_decimal_commas",
                 "8690000000001;Çay;12,50\n8690000000002;Su;1,00\n",
                 rows({{"8690000000001", "Çay", "12,50"}, {"8690000000002", "Su", "1,00"}})},
        TextCase{"semicolons_with_a_header_and_commas_in_some_names",
                 "Barkod;Ad;Fiyat\n1;Çay, demlik;12,50\n2;Su;1,00\n",
                 rows({{"Barkod", "Ad", "Fiyat"}, {"1", "Çay, demlik", "12,50"}, {"2", "Su", "1,00"}})},
        TextCase{"commas_with_quoted_decimal_commas",
                 "1,\"Çay\",\"12,50\"\n2,Su,\"1,00\"\n",
                 rows({{"1", "Çay", "12,50"}, {"2", "Su", "1,00"}})},
        TextCase{"commas_with_semicolons_inside_quotes",
                 "1,\"Çay; demlik\",5\n2,\"Su; 0,5 l\",1\n",
                 rows({{"1", "Çay; demlik", "5"}, {"2", "Su; 0,5 l", "1"}})},
        TextCase{"tabs_beside_decimal_commas",
                 "1\tÇay\t12,50\n2\tSu\t1,00\n",
                 rows({{"1", "Çay", "12,50"}, {"2", "Su", "1,00"}})},
        TextCase{"trailing_delimiters_on_the_data_rows",
                 "Barkod;Ad;Fiyat\n1;Çay;12,50;\n2;Su;1,00;\n",
                 rows({{"Barkod", "Ad", "Fiyat"}, {"1", "Çay", "12,50"}, {"2", "Su", "1,00"}})},
        TextCase{"no_delimiter_is_one_column",
                 "8690000000001\n8690000000002",
                 rows({{"8690000000001", "", ""}, {"8690000000002", "", ""}})},
        TextCase{"fields_past_the_third_are_kept",
                 "1;2;3;4;5\n;;;only past C\n6",
                 rows({{"1", "2", "3", "4", "5"}, {"", "", "", "only past C"}, {"6", "", ""}})}),
    ByName());

INSTANTIATE_TEST_SUITE_P(
    Quotes, DelimitedTextTest,
    testing::Values(
        TextCase{"doubled_quotes", "\"a \"\"b\"\" c\";x\n", rows({{"a \"b\" c", "x", ""}})},
        TextCase{"empty_quoted_field", "\"\";x;\"\"", rows({{"", "x", ""}})},
        TextCase{"quote_inside_an_unquoted_field_is_text", "24\" TV;5\n2\"\"x;6",
                 rows({{"24\" TV", "5", ""}, {"2\"\"x", "6", ""}})},
        TextCase{"quote_followed_by_text_stays_in_the_quoted_field", "\"24\" wide\";x",
                 rows({{"24\" wide", "x", ""}})},
        TextCase{"delimiter_after_a_text_quote_stays_in_the_field", "\"a\"b;c\";d",
                 rows({{"a\"b;c", "d", ""}})},
        TextCase{"spaces_between_closing_quote_and_delimiter_are_dropped", "\"a\"  ;b\n\"c\" \n",
                 rows({{"a", "b", ""}, {"c", "", ""}})},
        TextCase{"spaces_after_a_text_quote_are_kept", "\"a\" b\";c", rows({{"a\" b", "c", ""}})},
        TextCase{"spaces_then_another_quote_can_close", "\"a\" \";c", rows({{"a\" ", "c", ""}})},
        TextCase{"quote_after_leading_spaces_is_text", " \"a\";b", rows({{" \"a\"", "b", ""}})},
        TextCase{"quoted_delimiters_and_quotes_past_column_c_are_read",
                 "1;2;3;\"x;\"\"y\nz\";\"w\n1\";4\n5",
                 rows({{"1", "2", "3", "x;\"y\nz", "w\n1", "4"}, {"5", "", ""}})}),
    ByName());

// A closing quote followed by more text did not close the field after all:
// when a quote followed by a delimiter or line end comes later on the same
// line, that one closes it; otherwise the field is read again from its
// opening quote as unquoted text, quotes and all.
INSTANTIATE_TEST_SUITE_P(
    TextAfterClosingQuote, DelimitedTextTest,
    testing::Values(
        TextCase{"quoted_words_then_more_words", "8690001;\"Ev Yapımı\" Limonata;45\n8690002;Su;5\n",
                 rows({{"8690001", "\"Ev Yapımı\" Limonata", "45"}, {"8690002", "Su", "5"}})},
        TextCase{"text_after_the_quote_up_to_the_end_of_the_text", "1;\"a\" b", rows({{"1", "\"a\" b", ""}})},
        TextCase{"a_later_quote_inside_a_word_does_not_close", "1;\"x\" y \"z;w\nnext;1\n",
                 rows({{"1", "\"x\" y \"z", "w"}, {"next", "1", ""}})},
        TextCase{"doubled_quotes_stay_doubled", "1;\"a\"\"b\" c;5\n2;\"x\"\"\"y;6",
                 rows({{"1", "\"a\"\"b\" c", "5"}, {"2", "\"x\"\"\"y", "6"}})},
        TextCase{"a_delimiter_inside_the_quotes_ends_the_field",
                 "1;\"a;b\" c;5\nnext;1", rows({{"1", "\"a", "b\" c", "5"}, {"next", "1", ""}})},
        TextCase{"a_quote_on_the_next_line_does_not_close", "1;\"x\" y \"z\nw\";5\nnext;1\n",
                 rows({{"1", "\"x\" y \"z", ""}, {"w\"", "5", ""}, {"next", "1", ""}})},
        TextCase{"a_line_break_inside_the_quotes_ends_the_record",
                 "1;\"a\nb\" c;5\nnext;1\n", rows({{"1", "\"a", ""}, {"b\" c", "5", ""}, {"next", "1", ""}})},
        TextCase{"crlf_inside_the_quotes_ends_the_record",
                 "1;\"a\r\nb\" c;5\r\nnext;1\r\n",
                 rows({{"1", "\"a", ""}, {"b\" c", "5", ""}, {"next", "1", ""}})},
        TextCase{"lone_cr_line_ends", "\"a\" b\rnext;1\r", rows({{"\"a\" b", "", ""}, {"next", "1", ""}})},
        TextCase{"every_field_of_a_line", "\"x;\"x;\"x;\"x\"y\nnext;1",
                 rows({{"\"x", "\"x", "\"x", "\"x\"y"}, {"next", "1", ""}})},
        TextCase{"a_field_read_again_can_open_quotes_of_its_own", "\"a\"b;\"\";x\nnext;1",
                 rows({{"\"a\"b", "", "x"}, {"next", "1", ""}})},
        TextCase{"closed_later_on_a_line_the_field_began_before", "1;\"a\nb\"c\";5\nnext;1\n",
                 rows({{"1", "a\nb\"c", "5"}, {"next", "1", ""}})}),
    ByName());

TEST(DelimitedTextTest, a_quoted_name_followed_by_more_words_keeps_the_records_after_it)
{
    // As a supplier's export writes it: commas, one name quoted in part,
    // another quoted as a whole because it holds a comma.
    QByteArray file = "8690001,\"Ev Yapımı\" Limonata,45\n";
    for (int i = 2; i <= 9; ++i)
        file += "869000" + QByteArray::number(i) + ",Ürün " + QByteArray::number(i) + "," + QByteArray::number(i) + "\n";
    file += "8690010,\"Su, 0.5 L\",5\n";
    for (int i = 11; i <= 20; ++i)
        file += "86900" + QByteArray::number(i) + ",Ürün " + QByteArray::number(i) + ",1\n";
    const SheetColumns sheet = spreadsheet::readDelimitedText(file);
    ASSERT_TRUE(sheet.ok());
    EXPECT_FALSE(sheet.damaged);
    ASSERT_EQ(sheet.rows.size(), 20u);
    EXPECT_EQ(sheet.rows[0], (spreadsheet::RowCells{"8690001", "\"Ev Yapımı\" Limonata", "45"}));
    EXPECT_EQ(sheet.rows[1][0], "8690002");
    EXPECT_EQ(sheet.rows[9], (spreadsheet::RowCells{"8690010", "Su, 0.5 L", "5"}));
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, DelimitedTextTest,
    testing::Values(
        TextCase{"crlf_lf_and_lone_cr", "a;1\r\nb;2\nc;3\rd;4\r\n",
                 rows({{"a", "1", ""}, {"b", "2", ""}, {"c", "3", ""}, {"d", "4", ""}})},
        TextCase{"blank_lines_keep_row_positions", "\na\r\n\r\n\rb\n\n\n",
                 rows({{"", "", ""}, {"a", "", ""}, {"", "", ""}, {"", "", ""}, {"b", "", ""}})},
        TextCase{"line_breaks_in_quotes_become_lf", "\"x\r\ny\rz\nw\";1\r\n2",
                 rows({{"x\ny\nz\nw", "1", ""}, {"2", "", ""}})},
        TextCase{"doubled_quote_then_line_break_stays_quoted", "\"a\"\"\nb\";c\nd",
                 rows({{"a\"\nb", "c", ""}, {"d", "", ""}})},
        TextCase{"stray_quote_between_mixed_line_ends", "1;Ekran 24\";5\r\n2;\"Su\" ;1\r3;Çay;2\n",
                 rows({{"1", "Ekran 24\"", "5"}, {"2", "Su", "1"}, {"3", "Çay", "2"}})},
        TextCase{"closing_quote_right_before_cr", "\"a\"\r\"b\"\r\n\"c\"",
                 rows({{"a", "", ""}, {"b", "", ""}, {"c", "", ""}})}),
    ByName());

INSTANTIATE_TEST_SUITE_P(
    ExactTexts, DelimitedTextTest,
    testing::Values(TextCase{"numbers_stay_as_written",
                             "0012345678905;12,50;1.234,50\n8690000000001;1E5;=1+2\n; 5 ;\"007\"",
                             rows({{"0012345678905", "12,50", "1.234,50"},
                                   {"8690000000001", "1E5", "=1+2"},
                                   {"", " 5 ", "007"}})},
                    TextCase{"empty_text_has_no_rows", "", {}},
                    TextCase{"blank_lines_only_have_no_rows", "\r\n\n\r\n", {}},
                    TextCase{"only_empty_fields_have_no_rows", ";;\n;;;\n", {}}),
    ByName());

TEST(DelimitedTextTest, quoted_field_left_open_takes_the_rest_of_the_file)
{
    const SheetColumns sheet = read("a;1\nb;\"open\nc;2\r\nd;3");
    ASSERT_TRUE(sheet.ok());
    EXPECT_TRUE(sheet.damaged);
    EXPECT_TRUE(sheet.damage.contains("row 2")) << sheet.damage.toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), rows({{"a", "1", ""}, {"b", "open\nc;2\nd;3", ""}}));
}

TEST(DelimitedTextTest, quoted_field_left_open_past_column_c_still_marks_damage)
{
    const SheetColumns sheet = read("a;1;2;\"x\ny;z\n");
    EXPECT_TRUE(sheet.damaged);
    EXPECT_EQ(rowsOf(sheet.rows), rows({{"a", "1", "2", "x\ny;z\n"}}));
}

struct EncodingCase {
    const char *name;
    QByteArray bytes;
    std::string expectedName;  // UTF-8
};

class TextEncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(TextEncodingTest, decodes_the_turkish_letters)
{
    const SheetColumns sheet = spreadsheet::readDelimitedText(GetParam().bytes);
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    // The letters are on the last row: rows before it only push it past the
    // first slice of the file.
    ASSERT_FALSE(sheet.rows.empty());
    EXPECT_EQ(sheet.rows[sheet.rows.size() - 1], rows({{"1", GetParam().expectedName.c_str(), "12,50"}}).front());
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, TextEncodingTest,
    testing::Values(
        EncodingCase{"utf8", "1;Şişe ığdır ÇÖÜ;12,50", "Şişe ığdır ÇÖÜ"},
        EncodingCase{"utf8_with_bom", "\xEF\xBB\xBF" "1;Şişe İçli;12,50\r\n", "Şişe İçli"},
        EncodingCase{"utf16_le", utf16("1;Şişe İçli;12,50\r\n", true), "Şişe İçli"},
        EncodingCase{"utf16_be", utf16("1;Şişe İçli;12,50\r\n", false), "Şişe İçli"},
        EncodingCase{"windows_1254", "1;\xDE\x69\xFE\x65 \xDD\xE7li \xD0\xF0\xFD \x80;12,50", "Şişe İçli Ğğı €"},
        EncodingCase{"windows_1254_found_past_the_first_slice",
                     QByteArray("1;a;12,50\n").repeated(7'000) + "1;\xDE\x69\xFE\x65;12,50", "Şişe"}),
    ByName());

struct StrayByteCase {
    const char *name;
    QByteArray bytes;
    Rows expected;
    const char *linesNamed;  // "" when the file reads undamaged
};

class StrayByteTest : public testing::TestWithParam<StrayByteCase> {};

TEST_P(StrayByteTest, a_few_bytes_that_are_no_utf8_do_not_turn_a_utf8_file_into_windows_1254)
{
    const SheetColumns sheet = spreadsheet::readDelimitedText(GetParam().bytes);
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), GetParam().expected);
    const QString lines = QString::fromUtf8(GetParam().linesNamed);
    EXPECT_EQ(sheet.damaged, !lines.isEmpty()) << sheet.damage.toStdString();
    if (!lines.isEmpty()) {
        EXPECT_TRUE(sheet.damage.contains(QStringLiteral("line(s) ") + lines)) << sheet.damage.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, StrayByteTest,
    testing::Values(
        StrayByteCase{"one_windows_1254_letter_in_utf8",
                      "1;Çay;5\n2;Kıymalı Börek;12,50\n3;\xDE" "eker;1\n",
                      rows({{"1", "Çay", "5"}, {"2", "Kıymalı Börek", "12,50"}, {"3", "\xEF\xBF\xBD" "eker", "1"}}),
                      "3"},
        StrayByteCase{"stray_bytes_on_two_lines_after_crlf_and_cr",
                      "\xFE;Çay;5\r\n2;Şişe İçli Ğğı;1\r3;Su\xFD;2\r\n",
                      rows({{"\xEF\xBF\xBD", "Çay", "5"}, {"2", "Şişe İçli Ğğı", "1"}, {"3", "Su\xEF\xBF\xBD", "2"}}),
                      "1, 3"},
        StrayByteCase{"as_many_stray_bytes_as_utf8_letters_is_windows_1254",
                      "1;\xC3\x87" "ay \xDE\xFE;5", rows({{"1", "Ã‡ay Şş", "5"}}), ""},
        StrayByteCase{"windows_1254_letters_without_utf8_ones", "1;\xC7" "ay;5\n2;\xDE" "eker;1",
                      rows({{"1", "Çay", "5"}, {"2", "Şeker", "1"}}), ""}),
    ByName());

TEST(DelimitedTextTest, letters_and_line_ends_cut_by_the_slices_of_the_file_stay_whole)
{
    // The file is decoded 64 KiB at a time: "ş" straddles the first cut, in
    // a cell short enough to be kept whole; the CR and LF of one line end
    // the second.
    const qsizetype slice = 64 * 1024;
    QByteArray file = QByteArray(slice - 101, 'x') + "\n" + QByteArray(99, 'a') + "ş;1\n";
    file += QByteArray(2 * slice - 1 - file.size(), 'b') + "\r\n2";
    const SheetColumns sheet = spreadsheet::readDelimitedText(file);
    ASSERT_TRUE(sheet.ok());
    ASSERT_EQ(sheet.rows.size(), 4u);
    EXPECT_EQ(sheet.rows[1][0], QString(99, u'a') + u'ş');
    EXPECT_EQ(sheet.rows[3][0], "2");
}

TEST(DelimitedTextTest, many_fields_per_record_keep_those_up_to_the_last_column)
{
    QByteArray wide = "a;b;c";
    for (int i = 0; i < 200'000; ++i)
        wide += ";\"x\ny\"";
    wide += "\nd;e;f\n";
    const SheetColumns sheet = spreadsheet::readDelimitedText(wide);
    ASSERT_TRUE(sheet.ok());
    spreadsheet::RowCells first(spreadsheet::kMaxColumns, QStringLiteral("x\ny"));
    first[0] = "a", first[1] = "b", first[2] = "c";
    EXPECT_EQ(rowsOf(sheet.rows), (Rows{first, {"d", "e", "f"}}));
}

TEST(DelimitedTextTest, a_line_of_many_fields_read_again_splits_whole)
{
    // Each field runs to the line's end before it is read again; read again
    // one by one from there, the fields would cost the square of the line
    // (60,000 fields: minutes instead of a tenth of a second).
    const QByteArray line = QByteArray("\"x;").repeated(60'000) + "\"y\"z\nnext;1\n";
    const SheetColumns sheet = spreadsheet::readDelimitedText(line);
    ASSERT_TRUE(sheet.ok());
    EXPECT_EQ(rowsOf(sheet.rows), (Rows{spreadsheet::RowCells(spreadsheet::kMaxColumns, QStringLiteral("\"x")), {"next", "1", ""}}));
}

TEST(DelimitedTextTest, rows_past_the_limit_are_refused_but_blank_lines_past_it_are_not)
{
    const QByteArray full = QByteArray("x\n").repeated(spreadsheet::kMaxRows);
    const SheetColumns atLimit = spreadsheet::readDelimitedText(full + "\n\n;;\n");
    ASSERT_TRUE(atLimit.ok());
    EXPECT_EQ(atLimit.rows.size(), std::size_t(spreadsheet::kMaxRows));

    const SheetColumns past = spreadsheet::readDelimitedText(full + "\n\ny");
    EXPECT_EQ(past.error, ReadError::TooManyRows);
    EXPECT_FALSE(past.detail().isEmpty());
    EXPECT_TRUE(past.rows.empty());
}

using Records = std::vector<std::pair<std::size_t, spreadsheet::RowCells>>;

// The records of `text` fed to the tokenizer `pieceSize` characters at a time.
Records recordsInPieces(const QString &text, qsizetype pieceSize)
{
    Records out;
    spreadsheet::CsvTokenizer tokenizer(u';', [&](spreadsheet::CsvRecord &record) {
        out.emplace_back(record.index, record.cells);
        return true;
    });
    for (qsizetype at = 0; at < text.size(); at += pieceSize)
        tokenizer.feed(QStringView(text).mid(at, pieceSize));
    tokenizer.finish();
    return out;
}

TEST(CsvTokenizerTest, pieces_of_any_size_give_the_same_records)
{
    const QString text = QString::fromUtf8("a;\"b\r\nc\";d\r\n\"e\"\" \" ;f\rg;\"h\" i\";j\r\n\r\n;;\"k\"");
    const Records whole = recordsInPieces(text, text.size());
    ASSERT_EQ(whole.size(), 5u);
    EXPECT_EQ(whole[1].second[0], "e\" ");
    for (qsizetype size : {1, 2, 3, 5})
        EXPECT_EQ(recordsInPieces(text, size), whole) << "pieces of " << size;
}

TEST(CsvTokenizerTest, fields_read_again_from_their_opening_quote_split_the_same_in_pieces)
{
    const QString text = QString::fromUtf8("1;\"a\r\nb\" c;5\r\n\"x\"y;\"z\r\n\"w\" v");
    const Records whole = recordsInPieces(text, text.size());
    const Records expected = {{0, {"1", "\"a"}}, {1, {"b\" c", "5"}}, {2, {"\"x\"y", "\"z"}}, {3, {"\"w\" v"}}};
    EXPECT_EQ(whole, expected);
    for (qsizetype size : {1, 2, 3, 5})
        EXPECT_EQ(recordsInPieces(text, size), whole) << "pieces of " << size;
}

}  // namespace
