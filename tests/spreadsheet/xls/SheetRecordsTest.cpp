// Which records of a sheet the reader reads, which it passes over on
// purpose, and how it owns up to the ones it does not know.

#include "WorkbookBuilder.h"
#include "spreadsheet/xls/XlsReader.h"

#include <gtest/gtest.h>

namespace {

using namespace xlstest;

spreadsheet::xls::SheetColumns readSheet(const Bytes &sheet)
{
    return spreadsheet::xls::readColumnsAtoCFromBytes(CompoundImage(workbookStream({}, sheet)).data(), QLocale::c());
}

class FormulaIdTest : public testing::TestWithParam<std::uint16_t> {};

TEST_P(FormulaIdTest, a_last_row_made_only_of_formulas_is_read)
{
    const std::uint16_t id = GetParam();
    const Bytes sheet = concat({label(0, 0, "8690001"), label(0, 1, "Cay"), number(0, 2, 12.5),
                                formula(1, 0, numberResult(8690002), id),
                                formula(1, 1, textResult(), id), formulaString("Simit"),
                                formula(1, 2, numberResult(7.5), id)});
    const spreadsheet::xls::SheetColumns result = readSheet(sheet);
    ASSERT_TRUE(result.ok()) << result.detail().toStdString();
    EXPECT_EQ(result.unknownRecords, spreadsheet::xls::RecordCounts{});
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[1], (spreadsheet::RowCells{"8690002", "Simit", "7.5"}));
}

INSTANTIATE_TEST_SUITE_P(Ids, FormulaIdTest, testing::Values(std::uint16_t(0x0006), std::uint16_t(0x0406)),
                         [](const testing::TestParamInfo<std::uint16_t> &info) {
                             return info.param == 0x0006 ? std::string("biff8") : std::string("biff4_id");
                         });

TEST(NumberFormatTest, zero_padded_codes_keep_leading_zeros_and_prices_stay_plain)
{
    const Bytes globals = concat({format(164, "0000000000000"), format(165, "\"TR\"0000000"), format(166, "0.00"),
                                  cellFormat(0), cellFormat(164), cellFormat(165), cellFormat(166)});
    const Bytes sheet = concat({number(0, 0, 12345678905, 1), number(0, 1, 12345, 2), number(0, 2, 7.5, 3)});
    const spreadsheet::xls::SheetColumns result =
        spreadsheet::xls::readColumnsAtoCFromBytes(CompoundImage(workbookStream(globals, sheet)).data(), QLocale::c());
    ASSERT_TRUE(result.ok()) << result.detail().toStdString();
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0], (spreadsheet::RowCells{"0012345678905", "TR0012345", "7.5"}));
}

// A record id in a sheet, and whether the reader owns up to not knowing it.
struct RecordCase {
    const char *name;
    std::uint16_t id;
    bool unknown;
};

void PrintTo(const RecordCase &c, std::ostream *out) { *out << c.name; }

class SheetRecordTest : public testing::TestWithParam<RecordCase> {};

TEST_P(SheetRecordTest, is_counted_by_id_only_when_the_reader_does_not_know_it)
{
    // Twice, between cells that are read, with a body shaped like a cell's.
    Bytes body = cell(2, 1);
    putDouble(body, 9);
    const Bytes other = record(GetParam().id, body);
    const spreadsheet::xls::SheetColumns result = readSheet(concat({number(0, 1, 5), other, number(1, 2, 3), other}));
    ASSERT_TRUE(result.ok()) << result.detail().toStdString();
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0][1], "5");
    EXPECT_EQ(result.rows[1][2], "3");
    const spreadsheet::xls::RecordCounts expected = GetParam().unknown ? spreadsheet::xls::RecordCounts{{GetParam().id, 2}} : spreadsheet::xls::RecordCounts{};
    EXPECT_EQ(result.unknownRecords, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, SheetRecordTest,
    testing::Values(RecordCase{"row_info", 0x0208, false}, RecordCase{"blank_cell", 0x0201, false},
                    RecordCase{"blank_cells", 0x00BE, false}, RecordCase{"shared_formula", 0x04BC, false},
                    RecordCase{"column_info", 0x007D, false}, RecordCase{"merged_cells", 0x00E5, false},
                    RecordCase{"window", 0x023E, false}, RecordCase{"continue", 0x003C, false},
                    RecordCase{"future_record", 0x0862, false}, RecordCase{"chart_record", 0x1033, false},
                    RecordCase{"excel3_formula", 0x0206, true}, RecordCase{"excel2_integer", 0x0002, true},
                    RecordCase{"excel2_number", 0x0003, true}, RecordCase{"excel2_label", 0x0004, true},
                    RecordCase{"unassigned", 0x0123, true}),
    [](const testing::TestParamInfo<RecordCase> &info) { return std::string(info.param.name); });

}  // namespace
