#include "spreadsheet/xls/SharedStrings.h"

#include <algorithm>

namespace xls {

Status readSharedStrings(std::vector<Bytes> fragments, std::vector<QString> &out)
{
    out.clear();
    biff::FragmentCursor cursor(std::move(fragments));
    std::uint32_t total, unique;
    if (!cursor.u32(total) || !cursor.u32(unique))
        return Status::fail(ReadError::Damaged, QStringLiteral("shared string table too short"));
    // Each string takes at least three bytes, whatever count the record claims.
    out.reserve(std::min<std::size_t>(unique, cursor.remaining() / 3));
    const biff::TextFormat unicode;
    QString text;
    while (out.size() < unique && cursor.remaining() > 0) {
        if (!biff::readString(cursor, 2, unicode, text))
            return Status::fail(ReadError::Damaged,
                                QStringLiteral("shared string %1 is cut off").arg(out.size()));
        out.push_back(std::move(text));
        text = QString();
    }
    return {};
}

}  // namespace xls
