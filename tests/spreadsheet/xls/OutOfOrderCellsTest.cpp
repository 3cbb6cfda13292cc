// Sheets whose cell records are not stored row after row: every reading mode
// (a table, a sink fed as the file streams past, the xlsdump program) gets
// every cell in its row, the rows in order, nothing marked lost.

#include "WorkbookBuilder.h"
#include "spreadsheet/xls/XlsReader.h"
#include "tests/common/ScratchFile.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QProcess>
#include "tests/common/NamedCases.h"

namespace {

using namespace xlstest;
using spreadsheet::RowCells;

// A layout of cell records and the rows it must read as.
struct Layout {
    const char *name;
    Bytes stream;
    std::vector<RowCells> rows;
};

void PrintTo(const Layout &layout, std::ostream *out) { *out << layout.name; }

// A ROW record for `row` (rows written by Excel come in blocks of these).
Bytes rowRecord(std::uint16_t row)
{
    Bytes body;
    put16(body, row);
    body.resize(16, 0);
    return record(0x0208, body);
}

// Column by column: A1, A2, B1, B2, C1, C2, then D1, D2.
Layout columnByColumn()
{
    return {"column_by_column",
            workbookStream({}, concat({label(0, 0, "Title"), label(1, 0, "Su"), label(0, 1, "Barcode"),
                                       number(1, 1, 8690504012345), label(0, 2, "Price"), number(1, 2, 5.5),
                                       label(0, 3, "Extra"), label(1, 3, "x")})),
            {{"Title", "Barcode", "Price", "Extra"}, {"Su", "8690504012345", "5.5", "x"}}};
}

// As Excel once wrote it: a block of ROW records, the cells of rows 1-16,
// except that three cells of rows 12-14 come after row 16, then the block's DBCELL.
Layout excelBlockWithLateCells()
{
    Bytes sheet;
    for (std::uint16_t row = 0; row < 16; ++row)
        sheet = concat({sheet, rowRecord(row)});
    std::vector<RowCells> rows(16);
    for (std::uint16_t row = 0; row < 16; ++row) {
        if (row >= 11 && row <= 13)
            continue;
        sheet = concat({sheet, labelSst(row, 0, 0), number(row, 2, row)});
        rows[row] = {"Ürün", "", QString::number(row)};
    }
    sheet = concat({sheet, labelSst(11, 0, 1), labelSst(11, 1, 2), labelSst(12, 1, 2), labelSst(13, 1, 2),
                    record(0x00D7, Bytes(8, 0))});
    rows[11] = {"Notes:", "see below", ""};
    rows[12] = {"", "see below", ""};
    rows[13] = {"", "see below", ""};
    const Bytes strings = sharedStrings(3, {"\xDCr\xFCn", "Notes:", "see below"});
    return {"excel_block_with_late_cells", workbookStream(strings, sheet), rows};
}

class OutOfOrderCellsTest : public testing::TestWithParam<Layout> {};

TEST_P(OutOfOrderCellsTest, a_table_holds_every_cell)
{
    const spreadsheet::xls::SheetColumns sheet = spreadsheet::xls::readColumnsAtoCFromBytes(CompoundImage(GetParam().stream).data(), QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.damaged) << sheet.damage.toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), GetParam().rows);
}

// Copies each row as it comes, with its index.
class RowLog final : public spreadsheet::RowSink {
public:
    void row(std::size_t index, const RowCells &cells) override
    {
        indexes.push_back(index);
        rows.push_back(cells);
    }
    std::vector<std::size_t> indexes;
    std::vector<RowCells> rows;
};

TEST_P(OutOfOrderCellsTest, a_streamed_read_gives_complete_rows_in_order)
{
    QBuffer file;
    file.setData(CompoundImage(GetParam().stream).data());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    RowLog log;
    const spreadsheet::xls::SheetOutcome outcome = spreadsheet::xls::readColumnsAtoC(file, log, QLocale::c());
    ASSERT_TRUE(outcome.ok()) << outcome.detail().toStdString();
    EXPECT_FALSE(outcome.damaged) << outcome.damage.toStdString();
    EXPECT_EQ(log.rows, GetParam().rows);
    for (std::size_t k = 0; k < log.indexes.size(); ++k)
        EXPECT_EQ(log.indexes[k], k);
}

TEST_P(OutOfOrderCellsTest, xlsdump_prints_every_cell_and_exits_0)
{
    const ScratchFile file(QStringLiteral("sheet.xls"), CompoundImage(GetParam().stream).data());
    ASSERT_TRUE(file.ok());
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(XLSDUMP_PATH), {file.path()});
    ASSERT_TRUE(process.waitForFinished(-1));
    QString expected;
    for (const RowCells &row : GetParam().rows)
        expected += row.join(u',') + u'\n';
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), expected);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), QString());
    EXPECT_EQ(process.exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, OutOfOrderCellsTest, testing::Values(columnByColumn(), excelBlockWithLateCells()),
                         ByName());

}  // namespace
