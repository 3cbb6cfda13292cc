#include "spreadsheet/xls/SharedStrings.h"

#include "spreadsheet/SheetColumns.h"

#include <algorithm>

namespace spreadsheet::xls {

void SharedStrings::read(biff::FragmentCursor &cursor, std::size_t bytesLeft)
{
    text_.clear();
    ends_.clear();
    declared_ = 0;
    std::uint32_t total, unique;
    if (!cursor.u32(total) || !cursor.u32(unique))
        return;
    declared_ = unique;
    // Each string takes at least three bytes, whatever count the record claims.
    ends_.reserve(std::min<std::size_t>(unique, bytesLeft / 3));
    const biff::TextFormat unicode;
    QString text;
    while (ends_.size() < unique && biff::readString(cursor, 2, unicode, text)) {
        spreadsheet::clipCellText(text);
        text_ += text;
        ends_.push_back(text_.size());
    }
}

}  // namespace spreadsheet::xls
