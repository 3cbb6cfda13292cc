#pragma once
// Read sheets' rows beside the rows a test writes out: a store's rows as
// lists to compare, a store made from lists to hand to a consumer, and
// readable failure output.

#include "spreadsheet/RowStore.h"
#include "tests/common/QtPrinters.h"

#include <QStringList>

#include <ostream>
#include <vector>

inline std::vector<spreadsheet::RowCells> rowsOf(const spreadsheet::RowStore &store)
{
    return {store.begin(), store.end()};
}

inline spreadsheet::RowStore storeOf(const std::vector<QStringList> &rows)
{
    spreadsheet::RowStore store;
    for (std::size_t index = 0; index < rows.size(); ++index)
        store.setRow(index, rows[index]);
    return store;
}

namespace spreadsheet {

inline void PrintTo(const RowStore &store, std::ostream *out)
{
    *out << "{";
    for (const RowCells &cells : store)
        *out << " [" << cells.join(QStringLiteral(" | ")).toStdString() << "]";
    *out << " }";
}

}  // namespace spreadsheet
