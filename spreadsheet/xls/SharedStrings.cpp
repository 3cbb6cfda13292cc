#include "spreadsheet/xls/SharedStrings.h"

#include <algorithm>

namespace xls {

std::uint32_t readSharedStrings(biff::FragmentCursor &cursor, std::size_t bytesLeft, std::vector<QString> &out)
{
    out.clear();
    std::uint32_t total, unique;
    if (!cursor.u32(total) || !cursor.u32(unique))
        return 0;
    // Each string takes at least three bytes, whatever count the record claims.
    out.reserve(std::min<std::size_t>(unique, bytesLeft / 3));
    const biff::TextFormat unicode;
    QString text;
    while (out.size() < unique && biff::readString(cursor, 2, unicode, text)) {
        out.push_back(std::move(text));
        text = QString();
    }
    return unique;
}

}  // namespace xls
