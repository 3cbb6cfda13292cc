#pragma once
// Encrypted workbook streams made readable before any record is read.

#include "spreadsheet/xls/ByteView.h"
#include "spreadsheet/xls/Status.h"

#include <vector>

namespace xls {

// When the workbook globals at the start of `stream` hold a FILEPASS record,
// decrypts the stream with the built-in default password into `storage` and
// points `stream` at it: record headers, the records that stay unencrypted
// and the sheet offsets of BOUNDSHEET records are kept as they are, so the
// record layer reads the copy like any unencrypted stream (FILEPASS included).
// Leaves `stream` alone when there is no FILEPASS. Refusals as for
// defaultPasswordCipher.
Status decryptWorkbookStream(Bytes &stream, std::vector<std::uint8_t> &storage);

}  // namespace xls
