// Workbooks larger than the reader's window, read as they stream past: records,
// shared strings and encrypted bodies that cross the window's refills, streams
// whose sectors lie out of order, and the order in which a sink gets rows.

#include "WorkbookBuilder.h"
#include "spreadsheet/xls/Ciphers.h"
#include "spreadsheet/xls/WorkbookStream.h"
#include "spreadsheet/xls/XlsReader.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <numeric>
#include <string>
#include <vector>

namespace {

using namespace xlstest;

constexpr std::uint16_t kFilePass = 0x002F;

std::string itemName(int row)
{
    return "item " + std::to_string(row);
}

// Row `row` of the product sheet: barcode, name (a shared string), price.
spreadsheet::RowCells productRow(int row)
{
    return {QString::number(8690000000000LL + row), QString::fromStdString(itemName(row)),
            QString::number(row) + QStringLiteral(".5")};
}

// `rows` product rows, their names in a shared string table that CONTINUE
// records carry on; `globals` goes first among the workbook globals.
Bytes productStream(int rows, const Bytes &globals = {})
{
    Bytes sst;
    put32(sst, std::uint32_t(rows));
    put32(sst, std::uint32_t(rows));
    std::vector<Bytes> sstRecords;
    for (int row = 0; row < rows; ++row) {
        const Bytes text = string16(itemName(row));
        if (sst.size() + text.size() > 8224) {
            sstRecords.push_back(record(sstRecords.empty() ? 0x00FC : 0x003C, sst));
            sst.clear();
        }
        sst.insert(sst.end(), text.begin(), text.end());
    }
    sstRecords.push_back(record(sstRecords.empty() ? 0x00FC : 0x003C, sst));

    Bytes cells;
    for (int row = 0; row < rows; ++row) {
        const auto r = std::uint16_t(row);
        for (const Bytes &part : {number(r, 0, double(8690000000000LL + row)), labelSst(r, 1, std::uint32_t(row)),
                                  number(r, 2, row + 0.5)})
            cells.insert(cells.end(), part.begin(), part.end());
    }
    Bytes head = globals;
    for (const Bytes &part : sstRecords)
        head.insert(head.end(), part.begin(), part.end());
    return workbookStream(head, cells);
}

// The FILEPASS record of XOR obfuscation with the built-in default password.
Bytes xorFilePass()
{
    const QByteArray password("VelvetSweatshop");
    Bytes body;
    put16(body, 0);
    put16(body, spreadsheet::xls::XorObfuscation::key(password));
    put16(body, spreadsheet::xls::XorObfuscation::verifier(password));
    return record(kFilePass, body);
}

// `stream` (which starts with BOF, then FILEPASS) with every record body after
// the FILEPASS obfuscated as Excel does: BOF bodies and the sheet offset at
// the start of BOUNDSHEET stay in the clear.
Bytes obfuscated(Bytes stream)
{
    spreadsheet::xls::XorObfuscation cipher(QByteArray("VelvetSweatshop"));
    bool encrypting = false;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const std::uint16_t id = std::uint16_t(stream[at] | stream[at + 1] << 8);
        const std::size_t size = std::size_t(stream[at + 2] | stream[at + 3] << 8);
        const std::size_t plain = id == 0x0809 ? size : id == 0x0085 ? 4 : 0;
        for (std::size_t i = plain; encrypting && i < size; ++i) {
            // Decryption is rotl3(byte ^ key); the key's rotation comes from decrypting a zero.
            std::uint8_t keyRotated = 0;
            cipher.decrypt(std::span(&keyRotated, 1), at + 4 + i, size);
            const auto key = std::uint8_t(keyRotated >> 3 | keyRotated << 5);
            std::uint8_t &byte = stream[at + 4 + i];
            byte = std::uint8_t((byte >> 3 | byte << 5) ^ key);
        }
        encrypting = encrypting || id == kFilePass;
        at += 4 + size;
    }
    return stream;
}

spreadsheet::xls::SheetColumns readBareStream(const Bytes &stream)
{
    spreadsheet::xls::StreamSource source(QByteArray(reinterpret_cast<const char *>(stream.data()), qsizetype(stream.size())));
    spreadsheet::RowStore rows;
    spreadsheet::RowTable table(rows);
    spreadsheet::xls::SheetOutcome outcome = spreadsheet::xls::readWorkbookStream(source, table, QLocale::c());
    return spreadsheet::xls::SheetColumns::gathered(std::move(outcome), std::move(rows));
}

void expectProductRows(const spreadsheet::xls::SheetColumns &sheet, int rows)
{
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.damaged) << sheet.damage.toStdString();
    ASSERT_EQ(sheet.rows.size(), std::size_t(rows));
    for (int row = 0; row < rows; ++row)
        ASSERT_EQ(sheet.rows[std::size_t(row)], productRow(row)) << "row " << row;
}

struct LargeCase {
    const char *name;
    bool encrypted;
};

class LargeStreamTest : public testing::TestWithParam<LargeCase> {};

// 20,000 rows make a stream of about 1.3 MB: ten times the window.
TEST_P(LargeStreamTest, is_read_whole_across_the_window)
{
    constexpr int kRows = 20000;
    const Bytes stream = GetParam().encrypted ? obfuscated(productStream(kRows, xorFilePass())) : productStream(kRows);
    ASSERT_GT(stream.size(), 1'000'000u);
    expectProductRows(readBareStream(stream), kRows);
}

INSTANTIATE_TEST_SUITE_P(Streams, LargeStreamTest,
                         testing::Values(LargeCase{"plain", false}, LargeCase{"xor_default_password", true}),
                         [](const testing::TestParamInfo<LargeCase> &info) { return std::string(info.param.name); });

TEST(StreamedReadTest, a_stream_whose_sectors_lie_in_reverse_order_reads_as_in_order)
{
    constexpr int kRows = 400;
    CompoundImage image(productStream(kRows));
    const std::size_t sectors = image.bytes.size() / 512 - 4;
    ASSERT_GT(sectors, 20u);
    // Data sector k of the stream moves to file sector 3 + (sectors - 1 - k).
    std::vector<std::uint8_t> data(image.bytes.begin() + 512 * 4, image.bytes.end());
    for (std::size_t k = 0; k < sectors; ++k) {
        const std::size_t placed = sectors - 1 - k;
        std::copy_n(data.begin() + std::ptrdiff_t(512 * k), 512, image.bytes.begin() + std::ptrdiff_t(512 * (4 + placed)));
        image.setFat(std::uint32_t(3 + placed), k + 1 == sectors ? CompoundImage::kEnd : std::uint32_t(3 + placed - 1));
    }
    image.set32(CompoundImage::kStreamEntry + 0x74, std::uint32_t(3 + sectors - 1));
    expectProductRows(spreadsheet::xls::readColumnsAtoCFromBytes(image.data(), QLocale::c()), kRows);
}

// Keeps the rows in the order they come.
class RowLog final : public spreadsheet::RowSink {
public:
    void row(std::size_t index, const spreadsheet::RowCells &cells) override
    {
        indexes.push_back(index);
        rows.push_back(cells);
    }
    std::vector<std::size_t> indexes;
    std::vector<spreadsheet::RowCells> rows;
};

// Rows 1, 4, then a cell of row 2, then row 6 (0-based 0, 3, 1, 5).
Bytes cellsOutOfOrder()
{
    return workbookStream({}, concat({label(0, 0, "a"), label(3, 0, "d"), label(1, 1, "late"), label(5, 2, "f")}));
}

TEST(StreamedReadTest, a_sink_gets_every_row_once_in_order_with_blank_rows_between)
{
    QBuffer file;
    file.setData(CompoundImage(cellsOutOfOrder()).data());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    RowLog log;
    const spreadsheet::xls::SheetOutcome outcome = spreadsheet::xls::readColumnsAtoC(file, log, QLocale::c());
    ASSERT_TRUE(outcome.ok()) << outcome.detail().toStdString();
    std::vector<std::size_t> expected(6);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(log.indexes, expected);
    EXPECT_EQ(log.rows[3][0], "d");
    EXPECT_EQ(log.rows[1], (spreadsheet::RowCells{"", "late", ""}));
    EXPECT_EQ(log.rows[2], (spreadsheet::RowCells{"", "", ""}));
    EXPECT_EQ(log.rows[5][2], "f");
    EXPECT_FALSE(outcome.damaged) << outcome.damage.toStdString();
}

TEST(StreamedReadTest, a_table_puts_a_cell_stored_after_a_later_row_in_its_row)
{
    const spreadsheet::xls::SheetColumns sheet = spreadsheet::xls::readColumnsAtoCFromBytes(CompoundImage(cellsOutOfOrder()).data(), QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.damaged) << sheet.damage.toStdString();
    ASSERT_EQ(sheet.rows.size(), 6u);
    EXPECT_EQ(sheet.rows[1], (spreadsheet::RowCells{"", "late", ""}));
    EXPECT_EQ(sheet.rows[3][0], "d");
}

}  // namespace
