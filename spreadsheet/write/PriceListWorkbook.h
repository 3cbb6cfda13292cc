#pragma once
// A price list written to a new .xlsx workbook for the operator to edit in a
// spreadsheet program and load again: columns A-C as the grid reads them.

#include <QString>

#include <optional>
#include <vector>

#include "platform/outcome/Outcome.h"

namespace spreadsheet {

// One product of the list.
struct PriceRow {
    QString barcode;
    QString name;
    std::optional<double> price;  // none: an empty cell
    QString group;
};

// Writes `rows` to a new workbook at `path`, replacing a file there: the
// first sheet, rows[k] on sheet row k + 1 with no header row; A the barcode
// as a text cell (leading zeros kept, and the column formatted as text so
// that a barcode typed in later stays text too), B the name, C the price as
// a number cell (a price that is not finite leaves it empty like none), D
// the group. Texts are made fit to store as storableText() says, and the
// workbook is read back before it takes the place of `path`. A failure says
// why the file was not written and leaves no file at `path`, or the file
// that was there as it was.
platform::Outcome writePriceListWorkbook(const QString &path, const std::vector<PriceRow> &rows);

}  // namespace spreadsheet
