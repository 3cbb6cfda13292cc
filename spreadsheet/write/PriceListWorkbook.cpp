#include "spreadsheet/write/PriceListWorkbook.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/write/WorkbookOutput.h"

#include <QLocale>

#include <array>
#include <cmath>

namespace spreadsheet {

namespace {

// Widths of columns A-D in characters: a long barcode, a product name, a
// price and a group name.
constexpr std::array<double, 4> kColumnWidths{18, 40, 12, 30};
enum Column : lxw_col_t { Barcode, Name, Price, Group };

// A row with its texts made fit to store.
PriceRow storable(const PriceRow &row)
{
    const bool finite = row.price && std::isfinite(*row.price);
    return {storableText(row.barcode), storableText(row.name), finite ? row.price : std::nullopt,
            storableText(row.group)};
}

// Lays `rows` out on a new first sheet of `book`.
platform::Outcome fillSheet(lxw_workbook *book, const std::vector<PriceRow> &rows)
{
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Menü");
    lxw_format *text = workbook_add_format(book);
    if (sheet == nullptr || text == nullptr)
        return platform::Outcome::failure({}, QStringLiteral("the workbook writer ran out of memory"));
    format_set_num_format(text, "@");
    if (platform::Outcome set = setColumnWidths(sheet, kColumnWidths); !set.ok())
        return set;
    if (const lxw_error error = worksheet_set_column(sheet, Barcode, Barcode, kColumnWidths[Barcode], text);
        error != LXW_NO_ERROR)
        return writerError(QStringLiteral("cannot format the barcode column"), error);
    const auto write = [sheet](std::size_t row, Column column, const QString &value, lxw_format *format) {
        return value.isEmpty() ? LXW_NO_ERROR
                               : worksheet_write_string(sheet, lxw_row_t(row), column, value.toUtf8().constData(), format);
    };
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const PriceRow &product = rows[row];
        for (const lxw_error error :
             {write(row, Barcode, product.barcode, text), write(row, Name, product.name, nullptr),
              product.price ? worksheet_write_number(sheet, lxw_row_t(row), Price, *product.price, nullptr) : LXW_NO_ERROR,
              write(row, Group, product.group, nullptr)}) {
            if (error != LXW_NO_ERROR)
                return writerError(QStringLiteral("cannot write row %1").arg(row + 1), error);
        }
    }
    return {};
}

}  // namespace

platform::Outcome writePriceListWorkbook(const QString &path, const std::vector<PriceRow> &rows)
{
    std::vector<PriceRow> stored;
    stored.reserve(rows.size());
    for (const PriceRow &row : rows)
        stored.push_back(storable(row));
    // A price reads back as the readers show a number of the general format.
    const CellText numbers(QLocale::c(), false);
    return writeCheckedWorkbook(
        path, [&stored](lxw_workbook *book) { return fillSheet(book, stored); }, stored.size(),
        [&stored, &numbers](std::size_t row) {
            const PriceRow &product = stored[row];
            return RowCells{product.barcode, product.name,
                            product.price ? numbers.number(*product.price, NumberKind::Plain) : QString(), product.group};
        });
}

}  // namespace spreadsheet
