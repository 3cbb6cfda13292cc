#include "support/XMLFlexDS.h"

#include "XmlTestFiles.h"
#include "platform/grid/FlexGrid.h"
#include "platform/grid/FlexGridModel.h"

#include <gtest/gtest.h>

#include <QObject>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr quint32 leafTint = 0x00FAD2D2;  // red 210, green 210, blue 250

struct RowShown {
    const char *name;
    const char *value;
    bool isNode;
    short level;
    quint32 tint;
};

quint32 tintOf(const FlexGrid &grid, int row)
{
    return grid.Cell(FlexGrid::flexcpBackColor, row, 1).toUInt();
}

TEST(XMLFlexDSGrid, a_grid_with_an_outline_bar_shows_records_as_an_outline_tree)
{
    FlexGrid grid;
    grid.setOutlineBar(1);
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    ds.BindTo(grid);

    const std::vector<RowShown> expected = {
        {"r", "", true, 2, 0},       {"a", "1", false, 0, leafTint}, {"b", "", true, 3, 0},
        {"c", "2", false, 0, leafTint}, {"d", "3", false, 0, leafTint},
    };
    const int fixed = grid.FixedRows();
    ASSERT_EQ(grid.Rows(), fixed + int(expected.size()));
    EXPECT_EQ(grid.TextMatrix(0, 0), "Baslik");
    EXPECT_EQ(grid.TextMatrix(0, 1), "Ayar");
    for (int i = 0; i < int(expected.size()); ++i) {
        const RowShown &row = expected[std::size_t(i)];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(grid.TextMatrix(fixed + i, 0), row.name);
        EXPECT_EQ(grid.TextMatrix(fixed + i, 1), row.value);
        EXPECT_EQ(grid.IsSubtotal(fixed + i), row.isNode);
        EXPECT_EQ(grid.RowOutlineLevel(fixed + i), row.level);
        EXPECT_EQ(tintOf(grid, fixed + i), row.tint);
    }
}

TEST(XMLFlexDSGrid, binding_leaves_a_plain_grid_plain_but_a_new_document_outlines_every_bound_grid)
{
    FlexGrid plain;
    FlexGrid outlined;
    outlined.setOutlineBar(1);
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    ds.BindTo(plain);
    ds.BindTo(outlined);
    for (int row = 0; row < plain.Rows(); ++row) {
        EXPECT_FALSE(plain.IsSubtotal(row));
        EXPECT_EQ(tintOf(plain, row), 0u);
    }

    ds.setXMLDocument(documentOf("<?xml version=\"1.0\"?><r><a><x>1</x><y>2</y></a><b>3</b></r>"));
    for (const FlexGrid *grid : {&plain, &outlined}) {
        const int fixed = grid->FixedRows();
        EXPECT_TRUE(grid->IsSubtotal(fixed + 1));  // a holds x and y
        EXPECT_EQ(grid->RowOutlineLevel(fixed + 1), 3);
        EXPECT_EQ(tintOf(*grid, fixed + 1), 0u);
        EXPECT_FALSE(grid->IsSubtotal(fixed + 2));  // x
        EXPECT_EQ(grid->RowOutlineLevel(fixed + 2), 0);
        EXPECT_EQ(tintOf(*grid, fixed + 2), leafTint);
    }
}

TEST(XMLFlexDSGrid, binding_fits_the_columns_to_the_values)
{
    FlexGrid narrow;
    FlexGrid wide;
    XMLFlexDS shortValues;
    XMLFlexDS longValues;
    shortValues.setXMLDocument(documentOf("<?xml version=\"1.0\"?><r><a>1</a><b>2</b></r>"));
    longValues.setXMLDocument(documentOf(
        "<?xml version=\"1.0\"?><r><a>Provider=SQLOLEDB.1;Data Source=.\\SQLEXPRESS;Initial Catalog=POS</a><b>2</b></r>"));
    shortValues.BindTo(narrow);
    longValues.BindTo(wide);
    EXPECT_GT(wide.ColWidth(1), 2 * narrow.ColWidth(1));
}

TEST(XMLFlexDSGrid, an_edit_in_one_grid_reaches_the_document_and_the_other_grid)
{
    FlexGrid grid;
    FlexGrid other;
    grid.setEditable(1);
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    ds.BindTo(grid);
    ds.BindTo(other);  // the edit refreshes the editing grid while it stores the edit
    grid.setTextMatrix(grid.FixedRows() + 1, 1, "42");
    EXPECT_TRUE(ds.isDirty());
    EXPECT_STREQ(ds.XMLDocument()->child("r").child("a").child_value(), "42");
    EXPECT_EQ(grid.TextMatrix(grid.FixedRows() + 1, 1), "42");
    EXPECT_EQ(other.TextMatrix(other.FixedRows() + 1, 1), "42");
}

TEST(XMLFlexDSGrid, destruction_unbinds_the_grids_and_outlives_destroyed_ones)
{
    FlexGrid kept;
    auto gone = std::make_unique<FlexGrid>();
    {
        XMLFlexDS ds;
        ds.setXMLDocument(documentOf(settingsXml));
        ds.BindTo(kept);
        ds.BindTo(*gone);
        gone.reset();
        ds.SetData(1, 1, "9");  // refreshes the grid that is left
        ds.setXMLDocument(ds.XMLDocument());
        EXPECT_EQ(kept.dataSource(), &ds);
    }
    EXPECT_EQ(kept.dataSource(), nullptr);
    EXPECT_EQ(kept.TextMatrix(1, 1), "");
}

// Which grids re-read their data during an edit, in the order they did.
struct RefreshCase {
    const char *name;
    std::vector<int> bindings;  // indices of the grids, in bind order
    const char *newText;
    std::vector<int> refreshed;
};

void PrintTo(const RefreshCase &c, std::ostream *os)
{
    *os << c.name;
}

class XMLFlexDSRefresh : public testing::TestWithParam<RefreshCase> {};

TEST_P(XMLFlexDSRefresh, an_edit_refreshes_every_bound_grid_when_there_are_several)
{
    std::vector<int> refreshed;  // outlives the grids, which report their unbinding
    FlexGrid grids[2];
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    for (int index : GetParam().bindings)
        ds.BindTo(grids[index]);

    // A refresh re-reads every cell, headers included; an edit alone does not.
    for (int index : {0, 1}) {
        const auto log = [&refreshed, index] { refreshed.push_back(index); };
        QObject::connect(grids[index].gridModel(), &QAbstractItemModel::headerDataChanged, log);
        QObject::connect(grids[index].gridModel(), &QAbstractItemModel::modelReset, log);
    }
    ds.SetData(1, 1, GetParam().newText);
    EXPECT_EQ(refreshed, GetParam().refreshed);
}

INSTANTIATE_TEST_SUITE_P(
    Bindings, XMLFlexDSRefresh,
    testing::Values(RefreshCase{"one_grid", {0}, "9", {}}, RefreshCase{"two_grids", {0, 1}, "9", {0, 1}},
                    RefreshCase{"two_grids_in_bind_order", {1, 0}, "9", {1, 0}},
                    RefreshCase{"one_grid_bound_twice", {0, 0}, "9", {0, 0}},
                    RefreshCase{"unchanged_text", {0, 1}, "1", {}}),
    [](const testing::TestParamInfo<RefreshCase> &info) { return std::string(info.param.name); });

}  // namespace
