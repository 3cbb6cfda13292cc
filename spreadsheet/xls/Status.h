#pragma once
// The outcome every reading stage hands to the next one: a success, or why
// the workbook is refused.

#include "spreadsheet/xls/XlsReader.h"

namespace spreadsheet::xls {

using Status = spreadsheet::ReadOutcome;

}  // namespace spreadsheet::xls
