#pragma once
// Text of BIFF5 workbooks, stored as bytes in the workbook's Windows code page.

#include "platform/codepage/SingleByteCodePage.h"
#include "spreadsheet/xls/ByteView.h"

#include <QByteArray>
#include <QString>

namespace spreadsheet::xls {

// Decodes the single- and double-byte code pages a workbook names in its
// CODEPAGE record. Windows-1252 and Windows-1254 (Turkish) are built in so
// that they read the same on every platform; other pages go through Qt's
// converters and fall back to Windows-1252 where Qt has none.
class CodePage {
public:
    // A decoder for Windows code page `id` (1252 when the workbook names none).
    explicit CodePage(unsigned id = 1252);

    // The page number this decoder was made for.
    unsigned id() const { return id_; }
    // `text` as Unicode; bytes the page leaves undefined become U+FFFD.
    QString decode(Bytes text) const;

private:
    unsigned id_;
    const codepage::SingleByteCodePage *table_ = nullptr;
    QByteArray converterName_;
};

}  // namespace spreadsheet::xls
