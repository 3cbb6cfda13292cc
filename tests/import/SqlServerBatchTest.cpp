// The SQL Server batch as the server receives it, without a server: every
// kind of row binds exactly the markers the batch text has for it, and a
// full batch stays within the server's parameter limit.
#include <gtest/gtest.h>

#include "import/SqlServerBatch.h"

using bulksave::ItemUpdate;
using bulksave::RowToWrite;

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

}  // namespace

TEST_P(SqlServerBatchMarkers, a_full_batch_of_the_row_binds_every_marker_within_the_server_limit)
{
    const RowToWrite row{1, {QStringLiteral("869"), QStringLiteral("Çay"), 12.5}, GetParam().update};
    // A new item goes in either kind of batch, an update only in one with updates.
    for (const bool withUpdates : {false, true}) {
        if (row.update && !withUpdates)
            continue;
        const int rows = bulksave::sqlServerRowsPerBatch(withUpdates);
        const qsizetype bound =
            bulksave::sqlServerSharedValues({}).size() + rows * bulksave::sqlServerRowValues(row, withUpdates).size();
        EXPECT_EQ(bulksave::sqlServerBatchSql(rows, withUpdates).count(u'?'), bound) << withUpdates;
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
