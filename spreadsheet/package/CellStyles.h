#pragma once
// The styles part of an .xlsx package, as far as it decides how numbers read:
// the number format codes by id and the number format of each cell format.

#include "spreadsheet/NumberFormats.h"
#include "spreadsheet/package/XmlPart.h"

namespace spreadsheet::package {

class CellStyles {
public:
    // Reads part `path`: <numFmts> codes and <cellXfs> formats in order.
    // Damaged when the part is missing or malformed.
    ReadOutcome read(const ZipArchive &zip, std::string_view path);
    // How numbers of cell format `xf` are shown; Plain for one the styles do
    // not define (and for every cell when the package has no styles).
    NumberKind kindOf(std::uint64_t xf) const;
    // The format numbers of cell format `xf` are shown with; a plain one where kindOf says Plain.
    const NumberFormat &formatOf(std::uint64_t xf) const;

private:
    NumberFormats formats_;
};

}  // namespace spreadsheet::package
