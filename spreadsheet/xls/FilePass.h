#pragma once
// The FILEPASS record: how a workbook stream is encrypted, and whether with
// the password that every reader tries without asking.

#include "spreadsheet/xls/Ciphers.h"
#include "spreadsheet/xls/Status.h"

#include <memory>

namespace spreadsheet::xls {

// The cipher that the FILEPASS record `body` describes (XOR obfuscation, RC4
// or RC4 CryptoAPI; in Excel 5.0/95 layout, XOR only, when `biff8` is false),
// keyed with the built-in default password ("VelvetSweatshop") with which
// Excel encrypts workbooks that it then opens without asking. Leaves
// `cipher` alone and returns PasswordProtected when the record's verifier
// shows another password, Damaged when the record follows none of the
// published layouts.
Status defaultPasswordCipher(Bytes body, bool biff8, std::unique_ptr<RecordCipher> &cipher);

}  // namespace spreadsheet::xls
