#include "spreadsheet/package/WorkbookPart.h"

namespace spreadsheet::package {
namespace {

// The namespace of relationship ids, in transitional and in strict files.
constexpr std::string_view kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kStrictRelationships = "http://purl.oclc.org/ooxml/officeDocument/relationships";
// The namespace of the workbook's own elements, in transitional and in
// strict files; extensions carry elements of the same local names in others.
constexpr std::string_view kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kStrictMain = "http://purl.oclc.org/ooxml/spreadsheetml/main";

}  // namespace

ReadOutcome WorkbookPart::read(const ZipArchive &zip, std::string_view path)
{
    bool sheetSeen = false;
    ReadOutcome outcome = readPart(zip, path, [&](const XmlPart &xml, XmlPart::Node node) {
        if (node != XmlPart::Node::Start)
            return true;
        if (xml.name() == "workbookPr" && (xml.namespaceUri() == kMain || xml.namespaceUri() == kStrictMain)) {
            const auto flag = xml.attribute("date1904");
            date1904_ = flag == std::optional<std::string_view>("1") || flag == std::optional<std::string_view>("true");
        } else if (xml.name() == "sheet" && !sheetSeen) {
            sheetSeen = true;
            const auto id = xml.attribute("id", kRelationships);
            firstSheetId_ = std::string(id ? *id : xml.attribute("id", kStrictRelationships).value_or(""));
        }
        return true;
    });
    if (outcome.ok() && firstSheetId_.empty())
        outcome.refuse(ReadError::Damaged, QStringLiteral("the workbook lists no sheet"));
    return outcome;
}

}  // namespace spreadsheet::package
