// Workbooks damaged in one record: the damage costs that record, not the
// file, and the result says "damaged" exactly when cells could be lost.

#include "WorkbookBuilder.h"
#include "spreadsheet/xls/XlsReader.h"
#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace xlstest;
using Rows = std::vector<spreadsheet::RowCells>;

struct DamageCase {
    const char *name;
    std::function<Bytes()> stream;
    bool damaged;
    Rows rows;
};

void PrintTo(const DamageCase &c, std::ostream *out) { *out << c.name; }

class DamagedWorkbookTest : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedWorkbookTest, reads_what_is_left_and_says_whether_cells_were_lost)
{
    const DamageCase &c = GetParam();
    const spreadsheet::xls::SheetColumns result = spreadsheet::xls::readColumnsAtoCFromBytes(CompoundImage(c.stream()).data(), QLocale::c());
    ASSERT_TRUE(result.ok()) << result.detail().toStdString();
    EXPECT_EQ(result.damaged, c.damaged) << result.damage.toStdString();
    EXPECT_EQ(result.damage.isEmpty(), !c.damaged);
    EXPECT_EQ(rowsOf(result.rows), c.rows);
}

// The first `size` bytes of `record`'s body, under its own header.
Bytes cutShort(const Bytes &record, std::size_t size)
{
    Bytes out(record.begin(), record.begin() + 4 + std::ptrdiff_t(size));
    out[2] = std::uint8_t(size);
    out[3] = std::uint8_t(size >> 8);
    return out;
}

// A FORMAT record cut inside its code, then a date format and a cell in it.
Bytes formatCutShort()
{
    const Bytes globals = concat({cutShort(format(164, "#,##0.00 \"TL\""), 6), format(165, "dd.mm.yyyy"),
                                  cellFormat(0), cellFormat(165)});
    return workbookStream(globals, concat({label(0, 0, "8690001"), number(0, 1, 45366, 1)}));
}

// An XF record cut short before the one that gives cells their date format.
Bytes cellFormatCutShort()
{
    return workbookStream(concat({cutShort(cellFormat(0), 2), cellFormat(14)}), number(0, 2, 45366, 1));
}

// Of three strings the table holds the first and part of the second.
Bytes sharedStringsCutShort()
{
    Bytes table = sharedStrings(3, {"Cay", "Simit"});
    table = cutShort(table, table.size() - 4 - 3);
    return workbookStream(table, concat({labelSst(0, 1, 0), labelSst(1, 1, 1), labelSst(2, 1, 2), number(3, 2, 7)}));
}

Bytes sharedStringsMissing()
{
    return workbookStream({}, concat({labelSst(0, 1, 0), number(1, 2, 5)}));
}

// The stream ends inside the second cell of row 2.
Bytes sheetCutMidRow()
{
    Bytes stream = workbookStream({}, concat({label(0, 0, "8690001"), label(0, 1, "Cay"), number(0, 2, 12.5),
                                              label(1, 0, "8690002"), label(1, 1, "Simit")}),
                                  0x0600, true, false);
    stream.erase(stream.end() - 3, stream.end());
    return stream;
}

// An empty BOUNDSHEET after the first sheet's, which still points to its sheet.
Bytes secondSheetEntryTooShort()
{
    Bytes stream = workbookStream({}, label(0, 1, "Cay"));
    const std::size_t after = 20 + 4 + std::size_t(stream[22] | stream[23] << 8);  // BOF, BOUNDSHEET
    const Bytes empty = record(0x0085, {});
    stream.insert(stream.begin() + std::ptrdiff_t(after), empty.begin(), empty.end());
    stream[24] = std::uint8_t(stream[24] + empty.size());
    return stream;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedWorkbookTest,
    testing::Values(
        // Damage that only changes how a number is shown, or records the
        // import does not need: read as if whole.
        DamageCase{"format_cut_short", formatCutShort, false, {{"8690001", "15 Mar 2024", ""}}},
        DamageCase{"cell_format_cut_short", cellFormatCutShort, false, {{"", "", "15 Mar 2024"}}},
        DamageCase{"globals_without_eof",
                   [] { return workbookStream({}, label(0, 1, "Cay"), 0x0600, false); }, false, {{"", "Cay", ""}}},
        DamageCase{"sheet_entry_after_the_first_too_short", secondSheetEntryTooShort, false, {{"", "Cay", ""}}},
        DamageCase{"malformed_cell_past_column_iv",
                   [] { return workbookStream({}, concat({record(0x0203, cell(0, 256)), number(0, 0, 1)})); }, false,
                   {{"1", "", ""}}},
        // Damage that loses cells: what is left is read, and marked.
        DamageCase{"shared_strings_cut_short", sharedStringsCutShort, true,
                   {{"", "Cay", ""}, {"", "", ""}, {"", "", ""}, {"", "", "7"}}},
        DamageCase{"shared_strings_missing", sharedStringsMissing, true, {{"", "", ""}, {"", "", "5"}}},
        DamageCase{"sheet_cut_short_mid_row", sheetCutMidRow, true,
                   {{"8690001", "Cay", "12.5"}, {"8690002", "", ""}}},
        DamageCase{"sheet_without_eof",
                   [] { return workbookStream({}, number(0, 0, 3), 0x0600, true, false); }, true, {{"3", "", ""}}},
        DamageCase{"globals_and_sheet_without_eof",
                   [] { return workbookStream({}, number(0, 0, 3), 0x0600, false, false); }, true, {{"3", "", ""}}},
        DamageCase{"number_record_too_short",
                   [] { return workbookStream({}, concat({record(0x0203, cell(0, 0)), number(1, 1, 2)})); }, true,
                   {{"", "", ""}, {"", "2", ""}}},
        DamageCase{"label_text_cut_short",
                   [] { return workbookStream({}, concat({cutShort(label(0, 1, "Simit"), 10), number(0, 2, 2)})); },
                   true, {{"", "", "2"}}}),
    [](const testing::TestParamInfo<DamageCase> &info) { return std::string(info.param.name); });

}  // namespace
