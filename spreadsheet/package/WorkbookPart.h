#pragma once
// The workbook part of an .xlsx package: which sheet comes first and which
// date system the serial numbers of its dates count in.

#include "spreadsheet/package/XmlPart.h"

#include <string>

namespace spreadsheet::package {

class WorkbookPart {
public:
    // Reads part `path`; Damaged when it is missing, malformed or lists no sheet.
    ReadOutcome read(const ZipArchive &zip, std::string_view path);
    // The relationship id of the first sheet in sheet order, hidden or not.
    const std::string &firstSheetId() const { return firstSheetId_; }
    // Whether dates count from 1904 rather than 1900.
    bool date1904() const { return date1904_; }

private:
    std::string firstSheetId_;
    bool date1904_ = false;
};

}  // namespace spreadsheet::package
