#pragma once
// The products of a sheet as the batch front end reads them: the list's own
// header places its columns, as in the window, unless the command line
// places them by hand or says the list has no header.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "batch/BatchOptions.h"
#include "import/RowRules.h"
#include "platform/outcome/Outcome.h"
#include "spreadsheet/RowStore.h"

namespace batch {

// The product rows of a list, each with the sheet row it stands on.
struct ProductList {
    QList<import::ProductRow> rows;
    std::vector<std::size_t> sheetRows;  // of each of rows, 1 = the sheet's first row
    QString layout;                      // what the operator is told about the columns (Turkish); "" for nothing
};

// The list of `rows` (row 0 = sheet row 1) read as `options` say; a
// failure, its reason in Turkish and English, when the --columns given do
// not fit the sheet.
platform::Result<ProductList> readProductList(const spreadsheet::RowStore &rows, const BatchOptions &options);

}  // namespace batch
