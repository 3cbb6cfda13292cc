#pragma once
// The records a sheet may hold that the reader knows and passes over: they
// set up the sheet, format rows and columns, draw or annotate, but carry no
// cell value that is not also in a record the reader reads.

#include <cstdint>

namespace spreadsheet::xls::biff {

// True for a record of a sheet substream that is skipped on purpose
// (including Excel's future records 0x0800-0x08FF and chart records
// 0x1000-0x10FF); false for an id the reader does not know, and for the
// ids it reads.
bool isSkippedSheetRecord(std::uint16_t id);

}  // namespace spreadsheet::xls::biff
