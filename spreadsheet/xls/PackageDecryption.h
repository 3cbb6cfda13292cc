#pragma once
// The zip package of an encrypted .xlsx, which Office keeps in a compound
// file: an EncryptionInfo stream says how the EncryptedPackage stream is
// encrypted (ECMA-376 standard or agile encryption) under a password.

#include "spreadsheet/xls/Status.h"

#include <QByteArray>

namespace spreadsheet::xls {

// Decrypts `encryptedPackage` into `package` with Excel's built-in default
// password, as `encryptionInfo` describes. PasswordProtected when the
// default password is not the one, or the encryption is of a kind this
// reader does not decrypt; Damaged when either stream is malformed or cut
// short, or when what it decrypts to is no zip archive.
Status decryptPackage(const QByteArray &encryptionInfo, const QByteArray &encryptedPackage, QByteArray &package);

}  // namespace spreadsheet::xls
