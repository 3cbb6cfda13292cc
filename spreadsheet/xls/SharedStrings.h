#pragma once
// The shared string table (SST) that LABELSST cells point into.

#include "spreadsheet/xls/BiffRecords.h"
#include "spreadsheet/xls/Status.h"

#include <vector>

namespace xls {

// The strings of an SST record followed by its CONTINUE records, in `out`.
// Stops early, without error, when the data ends between two strings before
// the recorded count; Corrupt when a string is cut off inside.
Status readSharedStrings(std::vector<Bytes> fragments, std::vector<QString> &out);

}  // namespace xls
