#include "spreadsheet/package/SheetRows.h"

namespace spreadsheet::package {

bool SheetRows::put(std::int64_t row, std::int64_t column, const QString &text)
{
    if (row < 0 || column < 0 || column >= kColumns || text.isEmpty())
        return true;
    if (row >= kMaxRows)
        return false;
    if (rows_.size() <= std::size_t(row))
        rows_.resize(std::size_t(row) + 1);
    rows_[std::size_t(row)][std::size_t(column)] = text;
    return true;
}

bool SheetRows::putRepeated(std::int64_t row, std::int64_t count, const std::array<QString, kColumns> &texts)
{
    for (int column = 0; column < kColumns; ++column) {
        if (texts[std::size_t(column)].isEmpty())
            continue;
        if (row < 0 || count > kMaxRows - row)
            return false;
        for (std::int64_t copy = row; copy < row + count; ++copy)
            put(copy, column, texts[std::size_t(column)]);
    }
    return true;
}

SheetColumns SheetRows::take()
{
    SheetColumns sheet;
    sheet.rows = std::move(rows_);
    if (unreadable_ > 0) {
        sheet.damaged = true;
        sheet.message = QStringLiteral("%1 cell(s) in columns A-C came without a value that could be read")
                            .arg(unreadable_);
    }
    return sheet;
}

}  // namespace spreadsheet::package
