// Workbooks built byte by byte: one structure bent or broken at a time.

#include "WorkbookBuilder.h"
#include "spreadsheet/xls/XlsReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace xlstest;
using spreadsheet::xls::ReadError;

spreadsheet::xls::SheetColumns read(const QByteArray &file)
{
    return spreadsheet::xls::readColumnsAtoCFromBytes(file, QLocale::c());
}

spreadsheet::xls::SheetColumns readStream(const Bytes &stream)
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
    const Bytes labels = concat({labelSst(0, 1, 0), labelSst(1, 1, 1), labelSst(2, 1, 2)});
    return workbookStream(concat({record(0x00FC, sst), record(0x003C, continued)}), labels);
}

TEST(HostileInputTest, shared_strings_split_by_continue_switch_width_and_skip_runs)
{
    const spreadsheet::xls::SheetColumns sheet = readStream(splitSharedStrings());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(sheet.rows[0][1], "Plain");
    EXPECT_EQ(sheet.rows[1][1], "Çay");
    EXPECT_EQ(sheet.rows[2][1], "ok");
}

TEST(HostileInputTest, small_workbook_streams_are_read_from_the_mini_stream)
{
    const Bytes stream = workbookStream({}, label(0, 0, "mini"));
    ASSERT_LT(stream.size(), 4096u);
    const spreadsheet::xls::SheetColumns sheet = readStream(stream);
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_EQ(sheet.rows[0][0], "mini");
}

TEST(HostileInputTest, cells_of_embedded_chart_substreams_and_columns_past_iv_are_ignored)
{
    Bytes chartBof;
    put16(chartBof, 0x0600);
    put16(chartBof, 0x0020);
    chartBof.resize(16, 0);
    const Bytes sheet = concat({number(0, 0, 1), record(0x0809, chartBof), number(5, 0, 99), record(0x0123, {}),
                                record(0x000A, {}), number(0, 256, 7), number(9, 300, 7), number(1, 2, 2)});
    const spreadsheet::xls::SheetColumns result = readStream(workbookStream({}, sheet));
    ASSERT_TRUE(result.ok()) << result.detail().toStdString();
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0][0], "1");
    EXPECT_EQ(result.rows[1][2], "2");
    EXPECT_TRUE(result.unknownRecords.empty()) << "a chart's records are not the sheet's";
}

TEST(HostileInputTest, formula_text_results_come_from_the_string_record_after_shared_formulas)
{
    const Bytes sheet = concat({formula(0, 0, textResult()), record(0x04BC, Bytes(10, 0)), formulaString("Seker")});
    const spreadsheet::xls::SheetColumns result = readStream(workbookStream({}, sheet));
    ASSERT_TRUE(result.ok()) << result.detail().toStdString();
    EXPECT_EQ(result.rows[0][0], "Seker");
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
    const spreadsheet::xls::SheetColumns result = readStream(workbookStream({}, concat({record(0x00BD, mulrk), record(0x027E, rk)})));
    ASSERT_TRUE(result.ok()) << result.detail().toStdString();
    EXPECT_EQ(result.rows[0], (spreadsheet::RowCells{"12.5", "-7", "1.5"}));
    EXPECT_EQ(result.rows[1][0], "0.015");
}

TEST(HostileInputTest, the_last_sheet_row_is_row_65536)
{
    const spreadsheet::xls::SheetColumns result = readStream(workbookStream({}, number(65535, 2, 3)));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.rows.size(), 65536u);
    EXPECT_EQ(result.rows[65535][2], "3");
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
    const spreadsheet::xls::SheetColumns result = read(image.data());
    EXPECT_EQ(result.error, GetParam().error) << result.detail().toStdString();
    EXPECT_FALSE(result.detail().isEmpty());
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
    const spreadsheet::xls::SheetColumns result = readStream(GetParam().stream());
    EXPECT_EQ(result.error, GetParam().error) << result.detail().toStdString();
    EXPECT_FALSE(result.detail().isEmpty());
}

Bytes withByte(std::size_t at, std::uint8_t value)
{
    Bytes stream = workbookStream({}, {});
    stream[at] = value;
    return stream;
}

Bytes shortFirstBoundSheet()
{
    return workbookStream(record(0x0085, {0x14, 0x00}), label(0, 0, "second sheet"));
}

Bytes globalsCutShort()
{
    Bytes stream = workbookStream(sharedStrings(1, {"Cay"}), labelSst(0, 0, 0));
    stream.resize(20 + 12);  // BOF, then the stream ends inside the SST
    return stream;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenStreamTest,
    testing::Values(
        StreamCase{"excel_4_version", [] { return withByte(5, 0x04); }, ReadError::Unsupported},
        StreamCase{"sheet_offset_past_the_stream", [] { return withByte(20 + 4 + 3, 0x7F); }, ReadError::Damaged},
        StreamCase{"first_sheet_entry_too_short", shortFirstBoundSheet, ReadError::Damaged},
        StreamCase{"globals_cut_short_before_any_sheet", globalsCutShort, ReadError::Damaged}));

// A FILEPASS record that breaks the published layouts is damage; one whose
// verifier rejects the built-in default password holds a real password.
struct FilePassCase {
    const char *name;
    Bytes body;
    ReadError error;
    std::uint16_t version = 0x0600;
};

void PrintTo(const FilePassCase &c, std::ostream *out) { *out << c.name; }

class FilePassTest : public testing::TestWithParam<FilePassCase> {};

TEST_P(FilePassTest, is_refused_with_the_right_reason)
{
    const FilePassCase &c = GetParam();
    const spreadsheet::xls::SheetColumns result =
        readStream(workbookStream(record(0x002F, c.body), label(0, 0, "gizli"), c.version));
    EXPECT_EQ(result.error, c.error) << result.detail().toStdString();
    EXPECT_FALSE(result.detail().isEmpty());
    EXPECT_TRUE(result.rows.empty());
}

Bytes withZeros(Bytes head, std::size_t zeros)
{
    head.resize(head.size() + zeros, 0);
    return head;
}

// An RC4 CryptoAPI FILEPASS: algorithm `algorithm`, a verifier hash of
// `hashSize` bytes, an encryption header of `headerSize` bytes as the record
// says, salt and encrypted verifier all zeros.
Bytes cryptoApi(std::uint32_t algorithm, std::uint32_t hashSize = 20, std::uint32_t headerSize = 34)
{
    Bytes body;
    put16(body, 1);  // RC4
    put16(body, 4);  // version 4.2: CryptoAPI
    put16(body, 2);
    put32(body, 0x04);
    put32(body, headerSize);
    for (std::uint32_t field : {0x04u, 0u, algorithm, 0x8004u, 128u, 1u, 0u, 0u})
        put32(body, field);
    put16(body, 0);  // provider name: empty
    put32(body, 16);
    body.resize(body.size() + 32, 0);
    put32(body, hashSize);
    return withZeros(body, hashSize);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilePassTest,
    testing::Values(
        FilePassCase{"empty", {}, ReadError::Damaged},
        FilePassCase{"unknown_kind", {0x02, 0x00, 0x01, 0x00, 0x01, 0x00}, ReadError::Damaged},
        FilePassCase{"xor_cut_short", {0x00, 0x00, 0x12, 0x34}, ReadError::Damaged},
        FilePassCase{"xor_other_password", {0x00, 0x00, 0x12, 0x34, 0x56, 0x78}, ReadError::PasswordProtected},
        FilePassCase{"rc4_cut_short", withZeros({0x01, 0x00, 0x01, 0x00, 0x01, 0x00}, 47), ReadError::Damaged},
        FilePassCase{"rc4_other_password", withZeros({0x01, 0x00, 0x01, 0x00, 0x01, 0x00}, 48),
                     ReadError::PasswordProtected},
        FilePassCase{"rc4_unknown_version", withZeros({0x01, 0x00, 0x05, 0x00, 0x05, 0x00}, 48), ReadError::Damaged},
        FilePassCase{"cryptoapi_other_password", cryptoApi(0x6801), ReadError::PasswordProtected},
        FilePassCase{"cryptoapi_aes", cryptoApi(0x660E), ReadError::Damaged},
        FilePassCase{"cryptoapi_md5_sized_hash", cryptoApi(0x6801, 16), ReadError::Damaged},
        FilePassCase{"cryptoapi_header_past_the_record", cryptoApi(0x6801, 20, 0x7FFF), ReadError::Damaged},
        FilePassCase{"biff5_other_password", {0x12, 0x34, 0x56, 0x78}, ReadError::PasswordProtected, 0x0500},
        FilePassCase{"biff5_cut_short", {0x12, 0x34}, ReadError::Damaged, 0x0500}),
    [](const testing::TestParamInfo<FilePassCase> &info) { return std::string(info.param.name); });

TEST(HostileInputTest, a_looping_mini_stream_chain_is_refused)
{
    CompoundImage image(workbookStream({}, label(0, 0, std::string(200, 'y'))));
    image.set32(512 * 3 + 4, 0);  // mini sector 1 leads back to 0
    EXPECT_EQ(read(image.data()).error, ReadError::Damaged);
}

}  // namespace
