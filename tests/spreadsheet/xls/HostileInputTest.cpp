// Workbooks built byte by byte: one structure bent or broken at a time.

#include "WorkbookBuilder.h"
#include "spreadsheet/xls/XlsReader.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace xlstest;
using xls::ReadError;

xls::SheetColumns read(const QByteArray &file)
{
    return xls::readColumnsAtoCFromBytes(file, QLocale::c());
}

xls::SheetColumns readStream(const Bytes &stream)
{
    return read(CompoundImage(stream).data());
}

// A BIFF8 shared string table: "Plain", then "Çay" whose 16-bit characters
// start in a CONTINUE record, then a rich string with runs and phonetic data.
Bytes splitSharedStrings()
{
    Bytes sst;
    put32(sst, 3);
    put32(sst, 3);
    put16(sst, 5);
    sst.push_back(0);
    putText(sst, "Plain");
    put16(sst, 3);
    sst.push_back(0);
    putText(sst, "\xC7");  // Ç, 8-bit, before the record ends
    Bytes continued{0x01};  // option byte: the rest is 16-bit
    put16(continued, 'a');
    put16(continued, 'y');
    put16(continued, 2);
    continued.push_back(0x0C);  // rich runs and phonetic data follow the characters
    put16(continued, 1);
    put32(continued, 3);
    putText(continued, "ok");
    put32(continued, 0x00010000);
    put16(continued, 0xAAAA);
    put16(continued, 0xBBBB);
    continued.push_back(0);
    continued.push_back(0);
    continued.push_back(0);
    Bytes labels;
    for (std::uint32_t i = 0; i < 3; ++i) {
        Bytes body = cell(std::uint16_t(i), 1);
        put32(body, i);
        labels = concat({labels, record(0x00FD, body)});
    }
    return workbookStream(concat({record(0x00FC, sst), record(0x003C, continued)}), labels);
}

TEST(HostileInputTest, shared_strings_split_by_continue_switch_width_and_skip_runs)
{
    const xls::SheetColumns sheet = readStream(splitSharedStrings());
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(sheet.rows[0][1], "Plain");
    EXPECT_EQ(sheet.rows[1][1], "Çay");
    EXPECT_EQ(sheet.rows[2][1], "ok");
}

TEST(HostileInputTest, small_workbook_streams_are_read_from_the_mini_stream)
{
    const Bytes stream = workbookStream({}, label(0, 0, "mini"));
    ASSERT_LT(stream.size(), 4096u);
    const xls::SheetColumns sheet = readStream(stream);
    ASSERT_TRUE(sheet.ok()) << sheet.message.toStdString();
    EXPECT_EQ(sheet.rows.at(0)[0], "mini");
}

TEST(HostileInputTest, cells_of_embedded_chart_substreams_and_other_columns_are_ignored)
{
    Bytes chartBof;
    put16(chartBof, 0x0600);
    put16(chartBof, 0x0020);
    chartBof.resize(16, 0);
    const Bytes sheet = concat({number(0, 0, 1), record(0x0809, chartBof), number(5, 0, 99), record(0x0123, {}),
                                record(0x000A, {}), number(0, 3, 7), number(9, 5, 7), number(1, 2, 2)});
    const xls::SheetColumns result = readStream(workbookStream({}, sheet));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0][0], "1");
    EXPECT_EQ(result.rows[1][2], "2");
    EXPECT_TRUE(result.unknownRecords.empty()) << "a chart's records are not the sheet's";
}

TEST(HostileInputTest, formula_text_results_come_from_the_string_record_after_shared_formulas)
{
    const Bytes sheet = concat({formula(0, 0, textResult()), record(0x04BC, Bytes(10, 0)), formulaString("Seker")});
    const xls::SheetColumns result = readStream(workbookStream({}, sheet));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.rows.at(0)[0], "Seker");
}

TEST(HostileInputTest, mulrk_numbers_decode_all_four_rk_forms)
{
    Bytes mulrk;
    put16(mulrk, 0);
    put16(mulrk, 0);
    const std::uint32_t rks[] = {(1250u << 2) | 0x3,  // integer / 100
                                 (std::uint32_t(-7) << 2) | 0x2,  // integer
                                 0x3FF80000u};        // 1.5, high half of a double
    for (std::uint32_t rk : rks) {
        put16(mulrk, 15);
        put32(mulrk, rk);
    }
    put16(mulrk, 2);
    Bytes rk = cell(1, 0);
    put32(rk, 0x3FF80000u | 0x1);  // 1.5 / 100
    const xls::SheetColumns result = readStream(workbookStream({}, concat({record(0x00BD, mulrk), record(0x027E, rk)})));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.rows.at(0), (std::array<QString, 3>{"12.5", "-7", "1.5"}));
    EXPECT_EQ(result.rows.at(1)[0], "0.015");
}

TEST(HostileInputTest, the_last_sheet_row_is_row_65536)
{
    const xls::SheetColumns result = readStream(workbookStream({}, number(65535, 2, 3)));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.rows.size(), 65536u);
    EXPECT_EQ(result.rows.back()[2], "3");
}

TEST(HostileInputTest, files_that_are_not_compound_files_are_told_apart)
{
    EXPECT_EQ(read(QByteArray()).error, ReadError::NotSpreadsheet);
    EXPECT_EQ(read(QByteArray::fromHex("0904060000001000")).error, ReadError::Unsupported);  // Excel 4.0
}

// One structure of the container around a valid 5,000-byte text cell broken.
struct ContainerCase {
    const char *name;
    std::function<void(CompoundImage &)> damage;
    ReadError error;
};

void PrintTo(const ContainerCase &c, std::ostream *out) { *out << c.name; }

class BrokenContainerTest : public testing::TestWithParam<ContainerCase> {};

TEST_P(BrokenContainerTest, is_refused_with_the_right_reason)
{
    CompoundImage image(workbookStream({}, label(0, 0, std::string(5000, 'x'))));
    GetParam().damage(image);
    const xls::SheetColumns result = read(image.data());
    EXPECT_EQ(result.error, GetParam().error) << result.message.toStdString();
    EXPECT_FALSE(result.message.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenContainerTest,
    testing::Values(
        ContainerCase{"sector_chain_loops", [](CompoundImage &i) { i.setFat(5, 3); }, ReadError::Damaged},
        ContainerCase{"sector_outside_the_file", [](CompoundImage &i) { i.setFat(4, 4000); }, ReadError::Damaged},
        ContainerCase{"stream_larger_than_the_file",
                      [](CompoundImage &i) { i.set32(CompoundImage::kStreamEntry + 0x78, 0x7FFFFFFF); },
                      ReadError::Damaged},
        ContainerCase{"allocation_table_beyond_the_file", [](CompoundImage &i) { i.set32(0x2C, 100000); },
                      ReadError::Damaged},
        ContainerCase{"directory_sibling_points_to_itself",
                      [](CompoundImage &i) {
                          i.set32(CompoundImage::kStreamEntry + 0x44, 1);
                          i.set16(CompoundImage::kStreamEntry, 'X');  // "Xorkbook"
                      },
                      ReadError::NotSpreadsheet}));

// A workbook stream broken in one record, in an intact container.
struct StreamCase {
    const char *name;
    std::function<Bytes()> stream;
    ReadError error;
};

void PrintTo(const StreamCase &c, std::ostream *out) { *out << c.name; }

class BrokenStreamTest : public testing::TestWithParam<StreamCase> {};

TEST_P(BrokenStreamTest, is_refused_with_the_right_reason)
{
    const xls::SheetColumns result = readStream(GetParam().stream());
    EXPECT_EQ(result.error, GetParam().error) << result.message.toStdString();
    EXPECT_FALSE(result.message.isEmpty());
}

Bytes withByte(std::size_t at, std::uint8_t value)
{
    Bytes stream = workbookStream({}, {});
    stream[at] = value;
    return stream;
}

Bytes cutShort()
{
    Bytes stream = workbookStream({}, {});
    stream.resize(stream.size() - 2);
    return stream;
}

Bytes missingSharedString()
{
    Bytes body = cell(0, 0);
    put32(body, 0);
    return workbookStream({}, record(0x00FD, body));
}

Bytes sharedStringCutOff()
{
    Bytes sst;
    put32(sst, 1);
    put32(sst, 1);
    put16(sst, 40);  // 40 characters announced, one present
    sst.push_back(1);
    put16(sst, 'a');
    return workbookStream(record(0x00FC, sst), {});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenStreamTest,
    testing::Values(
        StreamCase{"password_protected", [] { return workbookStream(record(0x002F, Bytes(6, 0)), {}); },
                   ReadError::PasswordProtected},
        StreamCase{"excel_4_version", [] { return withByte(5, 0x04); }, ReadError::Unsupported},
        StreamCase{"record_runs_past_the_stream", cutShort, ReadError::Damaged},
        StreamCase{"sheet_offset_past_the_stream", [] { return withByte(20 + 4 + 3, 0x7F); }, ReadError::Damaged},
        StreamCase{"shared_string_index_out_of_range", missingSharedString, ReadError::Damaged},
        StreamCase{"shared_string_cut_off", sharedStringCutOff, ReadError::Damaged},
        StreamCase{"number_record_too_short", [] { return workbookStream({}, record(0x0203, cell(0, 0))); },
                   ReadError::Damaged}));

TEST(HostileInputTest, a_looping_mini_stream_chain_is_refused)
{
    CompoundImage image(workbookStream({}, label(0, 0, std::string(200, 'y'))));
    image.set32(512 * 3 + 4, 0);  // mini sector 1 leads back to 0
    EXPECT_EQ(read(image.data()).error, ReadError::Damaged);
}

}  // namespace
