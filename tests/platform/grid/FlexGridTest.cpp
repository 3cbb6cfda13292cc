// The grid widget on its own: shape, cells, fixed row, widths, colours,
// outline settings, data-source binding, loading and its notification.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/grid/FlexGrid.h"
#include "platform/grid/FlexGridModel.h"
#include "platform/grid/Twips.h"

namespace {

const QString dataDir = QStringLiteral(TEST_DATA_DIR);

// A grid with a model tester watching every change, shaped like the
// product grid: header row, leading column, three data columns.
struct GridFixture : ::testing::Test {
    FlexGrid grid;
    QAbstractItemModelTester tester{grid.gridModel(), QAbstractItemModelTester::FailureReportingMode::Fatal};

    void SetUp() override
    {
        grid.setRows(2);
        grid.setCols(4);
        grid.setEditable(1);
    }
};

// A data source of `records` records with two fields; record 1 of field 1
// throws, as a source reports a bad index.
class FakeSource : public IVSFlexDataSource {
public:
    int records = 3;
    QStringList edits;

    int GetRecordCount() override { return records; }
    int GetFieldCount() override { return 2; }
    QString GetFieldName(int field) override { return field == 0 ? QStringLiteral("Baslik") : QStringLiteral("Ayar"); }
    QString GetData(int field, int record) override
    {
        if (field == 1 && record == 1)
            throw std::out_of_range("Bad Index");
        return QStringLiteral("%1/%2").arg(record).arg(field);
    }
    void SetData(int field, int record, const QString &newData) override
    {
        if (record >= records)
            throw std::out_of_range("Bad Index");
        edits << QStringLiteral("%1/%2=%3").arg(record).arg(field).arg(newData);
    }
};

}  // namespace

TEST_F(GridFixture, growing_keeps_cells_and_shrinking_drops_the_cut_ones)
{
    grid.setTextMatrix(1, 1, QStringLiteral("a"));
    grid.setTextMatrix(1, 3, QStringLiteral("c"));
    grid.setRows(5);
    grid.setCols(6);
    EXPECT_EQ(grid.TextMatrix(1, 1), "a");
    EXPECT_EQ(grid.TextMatrix(1, 3), "c");
    EXPECT_EQ(grid.TextMatrix(4, 5), "");

    grid.setCols(3);
    grid.setCols(4);
    EXPECT_EQ(grid.TextMatrix(1, 1), "a");
    EXPECT_EQ(grid.TextMatrix(1, 3), "") << "a cut column comes back empty";
    grid.setRows(1);
    grid.setRows(2);
    EXPECT_EQ(grid.TextMatrix(1, 1), "");
}

TEST_F(GridFixture, cells_outside_the_grid_read_empty_and_ignore_writes)
{
    for (const auto &[row, col] : {std::pair{-1, 1}, {2, 1}, {1, -1}, {1, 4}}) {
        grid.setTextMatrix(row, col, QStringLiteral("x"));
        EXPECT_EQ(grid.TextMatrix(row, col), "") << row << "," << col;
    }
    grid.setRows(-3);
    EXPECT_EQ(grid.Rows(), 2);
}

TEST_F(GridFixture, the_fixed_row_is_the_header_and_never_scrolls_with_the_cells)
{
    grid.setTextMatrix(0, 2, QStringLiteral("ÜRÜN ADI"));
    EXPECT_TRUE(grid.isRowHidden(0));
    EXPECT_FALSE(grid.horizontalHeader()->isHidden());
    EXPECT_EQ(grid.gridModel()->headerData(2, Qt::Horizontal).toString(), "ÜRÜN ADI");

    grid.setFixedRows(0);
    EXPECT_FALSE(grid.isRowHidden(0));
    EXPECT_TRUE(grid.horizontalHeader()->isHidden());
}

TEST_F(GridFixture, fixed_cells_take_no_cursor_and_no_edit)
{
    auto *model = grid.gridModel();
    EXPECT_EQ(model->flags(model->index(1, 0)), Qt::NoItemFlags);
    EXPECT_EQ(model->flags(model->index(0, 1)), Qt::NoItemFlags);
    EXPECT_TRUE(model->flags(model->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(model->index(1, 0), QStringLiteral("x")));
    EXPECT_EQ(grid.Row(), 1) << "the cursor starts on the first data cell";
    EXPECT_EQ(grid.Col(), 1);

    grid.setEditable(0);
    EXPECT_FALSE(model->flags(model->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(model->index(1, 1), QStringLiteral("x")));
}

TEST_F(GridFixture, column_widths_are_kept_in_twips_through_changes_of_shape)
{
    grid.setColWidth(2, 1503);
    grid.setRows(100);
    grid.setCols(5);
    grid.Clear();
    EXPECT_EQ(grid.ColWidth(2), 1503);
    EXPECT_EQ(grid.columnWidth(2), twips::toPixels(1503, grid.logicalDpiX()));
    EXPECT_EQ(grid.ColWidth(9), 0) << "no such column";
}

TEST_F(GridFixture, a_cell_back_colour_tints_the_cell_until_cleared_and_fixed_and_plain_cells_keep_theirs)
{
    auto *model = grid.gridModel();
    grid.setCell(FlexGrid::flexcpBackColor, 1, 1, 0x00FAD2D2u);  // 0x00BBGGRR
    EXPECT_EQ(model->data(model->index(1, 1), Qt::BackgroundRole).value<QColor>(), QColor(0xD2, 0xD2, 0xFA));
    EXPECT_EQ(model->data(model->index(1, 2), Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
    EXPECT_EQ(model->data(model->index(1, 0), Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));

    grid.Clear();
    EXPECT_EQ(grid.Cell(FlexGrid::flexcpBackColor, 1, 1).toUInt(), 0u);
}

TEST_F(GridFixture, a_row_decoration_colours_data_rows_under_the_cells_own_colours_and_gives_their_tooltips)
{
    // Odd rows are pale red with the row number as their tip.
    struct OddRows : RowDecoration {
        QColor background(int row) const override { return row % 2 ? QColor(250, 210, 210) : QColor(); }
        QString toolTip(int row, int col) const override
        {
            return row % 2 ? QStringLiteral("satır %1/%2").arg(row).arg(col) : QString();
        }
    } odd;
    auto *model = grid.gridModel();
    grid.setRows(4);
    grid.setCell(FlexGrid::flexcpBackColor, 3, 2, 0x00FAD2D2u);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    model->setRowDecoration(&odd);
    EXPECT_EQ(changed.size(), 1) << "everything is repainted once";
    const auto background = [model](int row, int col) {
        return model->data(model->index(row, col), Qt::BackgroundRole).value<QColor>();
    };
    EXPECT_EQ(background(1, 1), QColor(250, 210, 210));
    EXPECT_EQ(background(2, 1), QColor(192, 192, 192)) << "no colour of the decoration's: the grid's own";
    EXPECT_EQ(background(3, 2), QColor(0xD2, 0xD2, 0xFA)) << "a cell's own colour wins";
    EXPECT_EQ(background(1, 0), QColor(Qt::white)) << "fixed cells are not decorated";
    EXPECT_EQ(model->data(model->index(3, 1), Qt::ToolTipRole).toString(), "satır 3/1");
    EXPECT_FALSE(model->data(model->index(2, 1), Qt::ToolTipRole).isValid());

    model->rowDecorationChanged(2, 9);
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed.last().at(0).toModelIndex().row(), 2);
    EXPECT_EQ(changed.last().at(1).toModelIndex().row(), 3) << "clipped to the grid";
    model->setRowDecoration(nullptr);
    EXPECT_EQ(background(1, 1), QColor(192, 192, 192));
}

TEST_F(GridFixture, outline_settings_belong_to_rows_and_go_with_cut_rows)
{
    grid.setRows(4);
    grid.setIsSubtotal(3, true);
    grid.setRowOutlineLevel(3, 2);
    EXPECT_FALSE(grid.IsSubtotal(2));
    grid.setIsSubtotal(9, true);
    EXPECT_FALSE(grid.IsSubtotal(9));

    grid.setRows(3);
    grid.setRows(4);
    EXPECT_FALSE(grid.IsSubtotal(3));
    EXPECT_EQ(grid.RowOutlineLevel(3), 0);
}

TEST_F(GridFixture, removed_rows_take_their_cells_colours_and_outline_and_the_rows_below_move_up)
{
    grid.setRows(7);
    for (int row = 1; row < 7; ++row)
        grid.setTextMatrix(row, 2, QString::number(row));
    grid.setCell(FlexGrid::flexcpBackColor, 5, 1, 0x0000FFu);
    grid.setCell(FlexGrid::flexcpBackColor, 2, 1, 0x00FF00u);
    grid.setIsSubtotal(6, true);

    // Two runs, given out of order, a fixed row and one past the end among them.
    EXPECT_EQ(grid.RemoveRows({4, 2, 0, 3, 9}), 3);
    QStringList left;
    for (int row = 1; row < grid.Rows(); ++row)
        left << grid.TextMatrix(row, 2);
    EXPECT_EQ(left, (QStringList{"1", "5", "6"}));
    EXPECT_EQ(grid.Cell(FlexGrid::flexcpBackColor, 2, 1).toUInt(), 0x0000FFu) << "row 5's colour, now row 2";
    EXPECT_EQ(grid.Cell(FlexGrid::flexcpBackColor, 1, 1).toUInt(), 0u);
    EXPECT_TRUE(grid.IsSubtotal(3));
    EXPECT_EQ(grid.gridModel()->headerData(3, Qt::Vertical).toString(), "3");
    EXPECT_EQ(grid.TextMatrix(0, 2), QString()) << "the header row stays";
}

TEST_F(GridFixture, a_bound_grid_shows_the_source_hands_edits_back_and_unbinds_to_its_own_cells)
{
    grid.setTextMatrix(1, 2, QStringLiteral("kendi"));
    FakeSource source;
    grid.setDataSource(&source);
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.Cols(), 2);
    EXPECT_EQ(grid.TextMatrix(0, 0), "Baslik");
    EXPECT_EQ(grid.TextMatrix(0, 1), "Ayar");
    EXPECT_EQ(grid.TextMatrix(1, 1), "0/1");
    EXPECT_EQ(grid.TextMatrix(2, 1), "") << "a throwing source shows an empty cell";

    auto *model = grid.gridModel();
    EXPECT_TRUE(model->setData(model->index(3, 1), QStringLiteral("yeni")));
    EXPECT_EQ(source.edits, QStringList{"2/1=yeni"});
    grid.setRows(10);
    EXPECT_EQ(grid.Rows(), 4) << "the source decides the row count";

    source.records = 1;
    grid.Refresh();
    EXPECT_EQ(grid.Rows(), 2);

    grid.setDataSource(nullptr);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Cols(), 4);
    EXPECT_EQ(grid.TextMatrix(1, 2), "kendi");
}

TEST_F(GridFixture, a_refused_file_or_kind_leaves_the_grid_as_it_was)
{
    grid.setTextMatrix(1, 2, QStringLiteral("önce"));
    EXPECT_FALSE(grid.LoadGrid(dataDir + QStringLiteral("/xls/encrypted.xls"), FlexGrid::flexFileExcel));
    EXPECT_FALSE(grid.lastLoad().ok());
    EXPECT_FALSE(grid.LoadGrid(dataDir + QStringLiteral("/xls/yok.xls"), FlexGrid::flexFileExcel));
    EXPECT_FALSE(grid.LoadGrid(dataDir + QStringLiteral("/xls/lo_cells.xls"), 1));
    EXPECT_FALSE(grid.lastLoad().ok());
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.TextMatrix(1, 2), "önce");
}

TEST_F(GridFixture, the_operator_s_edits_and_row_moves_notify_and_code_changes_do_not)
{
    QSignalSpy notified(&grid, &FlexGrid::RowNotification);
    grid.setRows(5);
    grid.setTextMatrix(1, 2, QStringLiteral("kod"));
    grid.Clear();
    ASSERT_TRUE(grid.LoadGrid(dataDir + QStringLiteral("/xls/lo_cells.xls"), FlexGrid::flexFileExcel));
    EXPECT_EQ(notified.count(), 0);

    auto *model = grid.gridModel();
    model->setData(model->index(1, 2), QStringLiteral("elle"));
    EXPECT_EQ(notified.count(), 1) << "an edit";
    grid.setCurrentIndex(model->index(3, 2));
    EXPECT_EQ(notified.count(), 2) << "a move to another row";
    grid.setCurrentIndex(model->index(3, 3));
    EXPECT_EQ(notified.count(), 2) << "a move within the row";
}

TEST_F(GridFixture, pasting_grows_the_rows_to_the_block_and_leaves_the_cursor_on_its_last_row)
{
    grid.setCurrentIndex(grid.gridModel()->index(1, 2));
    QApplication::clipboard()->setText(QStringLiteral("Çay\t12,5\tfazla\r\nŞeker\t1\r\nSu\r\n"));
    QSignalSpy notified(&grid, &FlexGrid::RowNotification);
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid.TextMatrix(1, 2), "Çay");
    EXPECT_EQ(grid.TextMatrix(1, 3), "12,5");
    EXPECT_EQ(grid.TextMatrix(2, 2), "Şeker");
    EXPECT_EQ(grid.TextMatrix(3, 2), "Su");
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.Cols(), 4) << "columns beyond the grid are dropped";
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(notified.count(), 1) << "one notification for the whole block";
}

TEST(FlexGridLarge, a_full_sheet_of_rows_loads_scrolls_and_edits)
{
    // The most rows a 97–2003 workbook holds, in one block and one view.
    FlexGrid grid;
    grid.setEditable(1);
    grid.resize(500, 280);
    grid.setRows(65536);
    grid.setCols(4);
    grid.gridModel()->setBlock(1, 1, 65535, 3, [](int row, int col) { return QString::number(row * 3 + col); });
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setRow(65535);
    grid.scrollTo(grid.currentIndex());
    EXPECT_EQ(grid.rowAt(grid.viewport()->height() - 2), 65535);
    EXPECT_TRUE(grid.gridModel()->setData(grid.gridModel()->index(65535, 2), QStringLiteral("son")));
    EXPECT_EQ(grid.TextMatrix(65535, 2), "son");
    EXPECT_EQ(grid.TextMatrix(65534, 3), QString::number(65533 * 3 + 2));
}
