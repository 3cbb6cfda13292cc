#pragma once
// Expected rows written as UTF-8 literals, UTF-16 files made from them, and
// the names of table cases.

#include "spreadsheet/SheetColumns.h"
#include "tests/common/QtPrinters.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include "tests/common/NamedCases.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace spreadsheettest {

using Rows = std::vector<spreadsheet::RowCells>;

// Each row from column A on, as wide as written.
inline Rows rows(std::initializer_list<std::initializer_list<const char *>> cells)
{
    Rows out;
    for (const auto &row : cells) {
        spreadsheet::RowCells &texts = out.emplace_back();
        for (const char *text : row)
            texts.append(QString::fromUtf8(text));
    }
    return out;
}


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
