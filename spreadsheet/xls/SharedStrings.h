#pragma once
// The shared string table (SST) that LABELSST cells point into.

#include "spreadsheet/xls/BiffRecords.h"

#include <vector>

namespace xls {

// The strings of an SST record followed by its CONTINUE records, read from
// `cursor`, in `out`; `bytesLeft` bounds what the table can hold. A table cut
// short keeps the strings before the cut (a string cut inside is dropped).
// Returns how many strings the table says it holds, 0 when even that is cut off.
std::uint32_t readSharedStrings(biff::FragmentCursor &cursor, std::size_t bytesLeft, std::vector<QString> &out);

}  // namespace xls
