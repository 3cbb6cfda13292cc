#include "spreadsheet/write/RowsWorkbook.h"

#include "spreadsheet/write/WorkbookOutput.h"

#include <algorithm>

namespace spreadsheet {

static_assert(kMaxCellChars == kMaxCellText);

namespace {

// Widths of columns A-D in characters: room for a long barcode, a product
// name, a price and a sentence of reason.
constexpr std::array<double, 4> kColumnWidths{18, 40, 12, 60};
constexpr lxw_col_t kReasonColumn = 3;

// Lays `rows` out on a new first sheet of `book`; "" or why not.
QString fillSheet(lxw_workbook *book, const std::vector<RowTexts> &rows)
{
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Kalanlar");
    lxw_format *wrapped = workbook_add_format(book);
    if (sheet == nullptr || wrapped == nullptr)
        return QStringLiteral("the workbook writer ran out of memory");
    // A reason with a line break shows as lines instead of one long line.
    format_set_text_wrap(wrapped);
    if (const QString why = setColumnWidths(sheet, kColumnWidths); !why.isEmpty())
        return why;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (lxw_col_t column = 0; column < rows[row].size(); ++column) {
            if (rows[row][column].isEmpty())
                continue;
            const lxw_error error = worksheet_write_string(sheet, lxw_row_t(row), column, rows[row][column].toUtf8().constData(),
                                                           column == kReasonColumn ? wrapped : nullptr);
            if (error != LXW_NO_ERROR)
                return writerError(QStringLiteral("cannot write row %1").arg(row + 1), error);
        }
    }
    return {};
}

}  // namespace

QString writeRowsWorkbook(const QString &path, const std::vector<RowTexts> &rows)
{
    std::vector<RowTexts> stored(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row)
        std::transform(rows[row].begin(), rows[row].end(), stored[row].begin(), storableText);
    return writeCheckedWorkbook(
        path, [&stored](lxw_workbook *book) { return fillSheet(book, stored); }, stored.size(),
        [&stored](std::size_t row) { return RowCells(stored[row].cbegin(), stored[row].cend()); });
}

}  // namespace spreadsheet
