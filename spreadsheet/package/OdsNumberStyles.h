#pragma once
// The number styles of an .ods package as far as they pad integers with
// zeros, and which cell style shows its numbers with which of them.

#include "spreadsheet/NumberFormats.h"
#include "spreadsheet/package/XmlPart.h"

#include <map>
#include <string>

namespace spreadsheet::package {

class OdsNumberStyles {
public:
    // Reads the styles of part `path` (styles.xml). Damaged when the part is
    // malformed.
    ReadOutcome read(const ZipArchive &zip, std::string_view path);
    // Takes one node of a part holding styles (the automatic styles of content.xml).
    void visit(const XmlPart &xml, XmlPart::Node node);
    // The format of numbers in cells of style `cellStyle`: zero-padded when
    // its number style has no decimals, no grouping and a minimum of two or
    // more integer digits; plain for any other or unknown style.
    const NumberFormat &formatOf(std::string_view cellStyle) const;

private:
    void startNumberPart(const XmlPart &xml);

    std::map<std::string, std::string, std::less<>> dataStyleOf_;  // cell style -> number style
    std::map<std::string, NumberFormat, std::less<>> padded_;      // number style -> its padding
    // The number style being read.
    std::string name_;
    NumberFormat format_;
    bool inNumberStyle_ = false, inText_ = false, padding_ = false;
};

}  // namespace spreadsheet::package
