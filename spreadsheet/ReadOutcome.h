#pragma once
// How reading a spreadsheet went: read whole, read in part, or refused and why.

#include <QString>

#include "platform/outcome/Outcome.h"

namespace spreadsheet {

// Why a file was refused; None when it was read.
enum class ReadError {
    None,
    CannotOpen,         // missing or unreadable file
    Empty,              // no cell in columns A-IV of the first sheet, or a file of no bytes
    NotSpreadsheet,     // none of the formats this reader knows
    PasswordProtected,  // encrypted with a password that is not the built-in default
    Damaged,            // structure broken or cut short, or a zip that would expand past the limits
    Unsupported,        // a spreadsheet of a kind too old to read (Excel 2.x-4.x)
    TooManyRows,        // more rows than kMaxRows
    BinaryWorkbook,     // an Excel binary workbook (.xlsb), which no reader here reads
};

// The kinds of files the readers take, in Turkish for the operator.
QString readableKinds();

// A refused read carries `error`, the operator's reason for it in Turkish
// (what to do included) and, as its detail, what the reader found in plain
// English. A read may also succeed in part.
struct ReadOutcome : platform::Outcome {
    ReadError error = ReadError::None;
    // The file was damaged in a part the cells may have lived in: the rows
    // are what could be read, and some cells may be missing. `damage` says
    // where, in plain English.
    bool damaged = false;
    QString damage;

    // A refusal for `why` (never None), `detail` saying what was found.
    static ReadOutcome refusal(ReadError why, const QString &detail)
    {
        ReadOutcome outcome;
        outcome.refuse(why, detail);
        return outcome;
    }
    // Makes this outcome the refusal for `why`.
    void refuse(ReadError why, const QString &detail);
};

}  // namespace spreadsheet
