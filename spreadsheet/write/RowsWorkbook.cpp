#include "spreadsheet/write/RowsWorkbook.h"

#include "spreadsheet/write/WorkbookOutput.h"

#include <algorithm>
#include <iterator>

namespace spreadsheet {

static_assert(kMaxCellChars == kMaxCellText);

namespace {

// Widths in characters: room for a long barcode, a product name and a
// price, for a group or a printer in the columns after them, and for a
// sentence of reason in the last.
constexpr std::array<double, 3> kProductWidths{18, 40, 12};
constexpr double kOtherWidth = 16;
constexpr double kNoteWidth = 60;

std::vector<double> columnWidths(std::size_t columns)
{
    std::vector<double> widths(columns, kOtherWidth);
    std::copy_n(kProductWidths.cbegin(), std::min(columns, kProductWidths.size()), widths.begin());
    if (!widths.empty())
        widths.back() = kNoteWidth;
    return widths;
}

// Lays `rows` out on a new first sheet of `book`.
platform::Outcome fillSheet(lxw_workbook *book, const std::vector<RowTexts> &rows)
{
    std::size_t columns = 0;
    for (const RowTexts &row : rows)
        columns = std::max(columns, std::size_t(row.size()));
    const lxw_col_t noteColumn = lxw_col_t(columns) - 1;
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Kalanlar");
    lxw_format *wrapped = workbook_add_format(book);
    if (sheet == nullptr || wrapped == nullptr)
        return platform::Outcome::failure({}, QStringLiteral("the workbook writer ran out of memory"));
    // A reason with a line break shows as lines instead of one long line.
    format_set_text_wrap(wrapped);
    if (platform::Outcome set = setColumnWidths(sheet, columnWidths(columns)); !set.ok())
        return set;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (lxw_col_t column = 0; column < lxw_col_t(rows[row].size()); ++column) {
            if (rows[row][column].isEmpty())
                continue;
            const lxw_error error = worksheet_write_string(sheet, lxw_row_t(row), column, rows[row][column].toUtf8().constData(),
                                                           column == noteColumn ? wrapped : nullptr);
            if (error != LXW_NO_ERROR)
                return writerError(QStringLiteral("cannot write row %1").arg(row + 1), error);
        }
    }
    return {};
}

}  // namespace

platform::Outcome writeRowsWorkbook(const QString &path, const std::vector<RowTexts> &rows)
{
    std::vector<RowTexts> stored(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row)
        std::transform(rows[row].begin(), rows[row].end(), std::back_inserter(stored[row]), storableText);
    return writeCheckedWorkbook(
        path, [&stored](lxw_workbook *book) { return fillSheet(book, stored); }, stored.size(),
        [&stored](std::size_t row) { return RowCells(stored[row].cbegin(), stored[row].cend()); });
}

}  // namespace spreadsheet
