// Which records of a sheet the reader reads.

#include "WorkbookBuilder.h"
#include "platform/xls/XlsReader.h"

#include <gtest/gtest.h>

namespace {

using namespace xlstest;

xls::SheetColumns readSheet(const Bytes &sheet)
{
    return xls::readColumnsAtoCFromBytes(CompoundImage(workbookStream({}, sheet)).data(), QLocale::c());
}

class FormulaIdTest : public testing::TestWithParam<std::uint16_t> {};

TEST_P(FormulaIdTest, a_last_row_made_only_of_formulas_is_read)
{
    const std::uint16_t id = GetParam();
    const Bytes sheet = concat({label(0, 0, "8690001"), label(0, 1, "Cay"), number(0, 2, 12.5),
                                formula(1, 0, numberResult(8690002), id),
                                formula(1, 1, textResult(), id), formulaString("Simit"),
                                formula(1, 2, numberResult(7.5), id)});
    const xls::SheetColumns result = readSheet(sheet);
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[1], (std::array<QString, 3>{"8690002", "Simit", "7.5"}));
}

INSTANTIATE_TEST_SUITE_P(Ids, FormulaIdTest, testing::Values(std::uint16_t(0x0006), std::uint16_t(0x0406)),
                         [](const testing::TestParamInfo<std::uint16_t> &info) {
                             return info.param == 0x0006 ? std::string("biff8") : std::string("biff4_id");
                         });

}  // namespace
