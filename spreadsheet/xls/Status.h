#pragma once
// The outcome every reading stage hands to the next one.

#include "spreadsheet/xls/XlsReader.h"

namespace spreadsheet::xls {

// None when the stage succeeded, otherwise why the workbook is refused.
struct Status {
    ReadError error = ReadError::None;
    QString message;

    bool ok() const { return error == ReadError::None; }
    // A refusal with its reason.
    static Status fail(ReadError error, const QString &message) { return {error, message}; }
};

}  // namespace spreadsheet::xls
