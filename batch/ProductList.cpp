#include "batch/ProductList.h"

#include "import/ListColumns.h"

namespace batch {

platform::Result<ProductList> readProductList(const spreadsheet::RowStore &rows, const BatchOptions &options)
{
    // Without a choice made by hand the list reads as the window reads it,
    // and a row that came close to being a header is told of.
    import::ListColumns columns;
    if (options.columns.isEmpty() && !options.noHeader) {
        columns = import::detectColumns(rows);
    } else {
        platform::Result<import::ListColumns> mapped = import::mapColumns(options.columns, rows, options.noHeader);
        if (!mapped.ok())
            return platform::Outcome::failure(
                QStringLiteral("--columns: %1.\n--columns does not fit this sheet: a header text given is in none "
                               "of its first %2 filled rows, or two fields fall on one column.")
                    .arg(mapped.reason())
                    .arg(import::kHeaderSearchRows));
        columns = std::move(mapped.value);
    }
    const import::ListRows list = import::listRows(rows, columns);
    ProductList products;
    products.rows.reserve(qsizetype(list.cells.size()));
    for (const QStringList &cells : list.cells)
        products.rows.append(import::productRowOf(cells, columns.ownFields()));
    products.sheetRows = list.sheetRows;
    products.layout = import::layoutMessage(columns, list);
    return products;
}

}  // namespace batch
