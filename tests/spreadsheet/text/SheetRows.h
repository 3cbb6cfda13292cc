#pragma once
// Expected rows written as UTF-8 literals, UTF-16 files made from them, and
// the names of table cases.

#include "spreadsheet/SheetColumns.h"
#include "tests/common/QtPrinters.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

namespace spreadsheettest {

using Rows = std::vector<std::array<QString, 3>>;

inline Rows rows(std::initializer_list<std::array<const char *, 3>> cells)
{
    Rows out;
    for (const auto &row : cells)
        out.push_back({QString::fromUtf8(row[0]), QString::fromUtf8(row[1]), QString::fromUtf8(row[2])});
    return out;
}

// Names each case of a table after its `name` field.
struct ByName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case> &info) const
    {
        return info.param.name;
    }
};

// The text as UTF-16 with its byte-order mark.
inline QByteArray utf16(const char *utf8, bool littleEndian)
{
    QByteArray out(littleEndian ? "\xFF\xFE" : "\xFE\xFF");
    for (const QChar c : QString::fromUtf8(utf8)) {
        const char low = char(c.unicode() & 0xFF);
        const char high = char(c.unicode() >> 8);
        out.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return out;
}

}  // namespace spreadsheettest
