// The SQL Server batch as the server receives it, without a server: every
// kind of row binds exactly the markers the batch text has for it in every
// shape of batch, a full batch stays within the server's parameter limit,
// and a row's own values go to the columns that name them.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "import/SqlServerBatch.h"

using import::BatchShape;
using import::ItemUpdate;
using import::OwnValue;
using import::OwnValues;
using import::RowToWrite;
using import::RowValues;

namespace {

struct RowKind {
    const char *name;
    std::optional<ItemUpdate> update;
};

void PrintTo(const RowKind &kind, std::ostream *out)
{
    *out << kind.name;
}

class SqlServerBatchMarkers : public ::testing::TestWithParam<RowKind> {};

// An update of item 7's portion 8; an empty `newName` keeps the name.
ItemUpdate changing(std::optional<qint64> priceId, std::optional<double> newPrice, const QString &newName = {})
{
    ItemUpdate update{7, 8, priceId, priceId ? std::optional<double>(10) : std::nullopt, newPrice, QString(), {}};
    if (!newName.isEmpty())
        update.newName = newName;
    return update;
}

const OwnValues kEveryOwnValue = OwnValue::Group | OwnValue::Multiplier | OwnValue::ButtonColor |
                                 OwnValue::SubMenuTag | OwnValue::Printer;

// The window's values of the rows below.
RowValues window()
{
    return {QStringLiteral("Toplu"), QStringLiteral("1"), QStringLiteral("White"), QString(), QStringLiteral("1")};
}

// What `row` binds in a batch of `shape`, by the column of the batch's row table.
QVariantMap boundByColumn(const RowToWrite &row, BatchShape shape)
{
    const QRegularExpressionMatch columns =
        QRegularExpression(QStringLiteral(R"(INSERT INTO @rows \(RowNo, ([^)]*)\))"))
            .match(import::sqlServerBatchSql(1, shape));
    const QStringList names = columns.captured(1).split(QStringLiteral(", "));
    const QVariantList values = import::sqlServerRowValues(row, shape);
    EXPECT_EQ(names.size(), values.size());
    QVariantMap bound;
    for (qsizetype index = 0; index < std::min(names.size(), values.size()); ++index)
        bound.insert(names.at(index), values.at(index));
    return bound;
}

}  // namespace

TEST_P(SqlServerBatchMarkers, a_full_batch_of_the_row_binds_every_marker_within_the_server_limit)
{
    const RowToWrite row{1, {QStringLiteral("869"), QStringLiteral("Çay"), 12.5}, GetParam().update, window()};
    // A new item goes in a batch of any shape, an update only in one with updates.
    for (const BatchShape shape : {BatchShape{}, BatchShape{true}, BatchShape{false, OwnValue::Group},
                                   BatchShape{false, OwnValue::Printer}, BatchShape{false, kEveryOwnValue},
                                   BatchShape{true, kEveryOwnValue}}) {
        if (row.update && !shape.withUpdates)
            continue;
        const int rows = import::sqlServerRowsPerBatch(shape);
        const qsizetype bound =
            import::sqlServerSharedValues({}).size() + rows * import::sqlServerRowValues(row, shape).size();
        EXPECT_EQ(import::sqlServerBatchSql(rows, shape).count(u'?'), bound)
            << shape.withUpdates << ' ' << shape.values.toInt();
        EXPECT_LE(bound, 2100);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryRowKind, SqlServerBatchMarkers,
    ::testing::Values(RowKind{"new_item", std::nullopt},
                      RowKind{"price_changed", changing(3, 14.0)},
                      RowKind{"price_created", changing(std::nullopt, 14.0)},
                      RowKind{"name_changed", changing(3, std::nullopt, QStringLiteral("Çay Büyük"))},
                      RowKind{"name_of_a_priceless_item_changed",
                              changing(std::nullopt, std::nullopt, QStringLiteral("Su"))}),
    [](const ::testing::TestParamInfo<RowKind> &info) { return std::string(info.param.name); });

namespace {

struct ShapeCase {
    const char *name;
    RowValues values;
    std::optional<ItemUpdate> update;
    BatchShape shape;
};

void PrintTo(const ShapeCase &shapeCase, std::ostream *out)
{
    *out << shapeCase.name;
}

RowValues windowWith(void (*change)(RowValues &))
{
    RowValues values = window();
    change(values);
    return values;
}

class SqlServerBatchShape : public ::testing::TestWithParam<ShapeCase> {};

}  // namespace

// Only a new item's value that is not the window's widens its batch.
TEST_P(SqlServerBatchShape, of_a_row_names_the_values_it_does_not_share_with_the_window)
{
    const RowToWrite row{1, {QStringLiteral("869"), QStringLiteral("Çay"), 12.5}, GetParam().update, GetParam().values};
    EXPECT_EQ(import::sqlServerShape(row, window()), GetParam().shape);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOwnValue, SqlServerBatchShape,
    ::testing::Values(
        ShapeCase{"window_values", window(), std::nullopt, {}},
        ShapeCase{"own_group", windowWith([](RowValues &v) { v.group = QStringLiteral("Tatlılar"); }), std::nullopt,
                  {false, OwnValue::Group}},
        ShapeCase{"own_unit", windowWith([](RowValues &v) { v.multiplier = QStringLiteral("1000"); }), std::nullopt,
                  {false, OwnValue::Multiplier}},
        ShapeCase{"own_colour_and_tag",
                  windowWith([](RowValues &v) {
                      v.buttonColor = QStringLiteral("#FF0000FF");
                      v.subMenuTag = QStringLiteral("Tatlı");
                  }),
                  std::nullopt, {false, OwnValue::ButtonColor | OwnValue::SubMenuTag}},
        ShapeCase{"own_printer", windowWith([](RowValues &v) { v.printerId = QStringLiteral("2"); }), std::nullopt,
                  {false, OwnValue::Printer}},
        ShapeCase{"no_printer_while_the_window_has_one", windowWith([](RowValues &v) { v.printerId.reset(); }),
                  std::nullopt, {false, OwnValue::Printer}},
        ShapeCase{"empty_tag_the_window_leaves_unset",
                  windowWith([](RowValues &v) { v.subMenuTag = QStringLiteral(""); }), std::nullopt, {}},
        // An update writes none of them.
        ShapeCase{"update_with_other_values", windowWith([](RowValues &v) { v.group = QStringLiteral("Tatlılar"); }),
                  changing(3, 14.0), {true}}),
    [](const ::testing::TestParamInfo<ShapeCase> &info) { return std::string(info.param.name); });

TEST(SqlServerBatch, a_rows_own_values_go_to_their_columns_and_the_others_bind_the_windows)
{
    RowValues own = window();
    own.group = QStringLiteral("Tatlılar");
    own.printerId.reset();
    const RowToWrite row{1, {QStringLiteral("869"), QStringLiteral("Künefe"), 120}, std::nullopt, own};
    const QVariantMap bound = boundByColumn(row, {false, kEveryOwnValue});
    EXPECT_EQ(bound.value(QStringLiteral("Name")), QStringLiteral("Künefe"));
    EXPECT_EQ(bound.value(QStringLiteral("GroupName")), QStringLiteral("Tatlılar"));
    EXPECT_EQ(bound.value(QStringLiteral("Multiplier")), QStringLiteral("1"));
    EXPECT_EQ(bound.value(QStringLiteral("ButtonColor")), QStringLiteral("White"));
    // A text is never sent as NULL.
    EXPECT_EQ(bound.value(QStringLiteral("SubMenuTag")), QStringLiteral(""));
    EXPECT_FALSE(bound.value(QStringLiteral("SubMenuTag")).isNull());
    EXPECT_EQ(bound.value(QStringLiteral("WithPrinter")), false);
}

// A row whose own values leave the open batch too small for its rows goes
// into the next batch, as an update does.
TEST(SqlServerBatch, a_row_whose_own_values_the_open_batch_has_no_room_for_waits_for_the_next)
{
    RowValues own = window();
    own.group = QStringLiteral("Tatlılar");
    own.multiplier = QStringLiteral("1000");
    own.buttonColor = QStringLiteral("#FFFF0000");
    own.subMenuTag = QStringLiteral("Tatlı");
    own.printerId.reset();
    const RowToWrite windowRow{1, {QStringLiteral("869"), QStringLiteral("Çay"), 12.5}, std::nullopt, window()};
    const RowToWrite ownRow{2, {QStringLiteral("870"), QStringLiteral("Künefe"), 120}, std::nullopt, own};
    const int fits = import::sqlServerRowsPerBatch({false, kEveryOwnValue});
    QSqlDatabase notOpened;
    import::SqlServerBatchWriter writer(notOpened, {true, window()});
    for (int row = 1; row < fits; ++row)
        writer.add(windowRow);
    EXPECT_TRUE(writer.takes(ownRow));
    writer.add(windowRow);
    EXPECT_FALSE(writer.takes(ownRow));
    EXPECT_TRUE(writer.takes(windowRow));
    EXPECT_FALSE(writer.full());
}
