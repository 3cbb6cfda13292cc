#include "spreadsheet/package/CellStyles.h"

#include "spreadsheet/package/CellValues.h"

#include <limits>

namespace spreadsheet::package {
namespace {

constexpr std::uint64_t kLargestIndex = std::numeric_limits<std::uint16_t>::max();

// A number format id as the shared rules know it; an id they cannot hold
// cannot be told from another, so it counts as General (0).
std::uint16_t formatId(std::optional<std::string_view> text)
{
    const std::optional<double> id = text ? decimal(*text) : std::nullopt;
    return id && *id >= 0 && *id <= double(kLargestIndex) ? std::uint16_t(*id) : 0;
}

}  // namespace

ReadOutcome CellStyles::read(const ZipArchive &zip, std::string_view path)
{
    bool inCellFormats = false;
    return readPart(zip, path, [&](const XmlPart &xml, XmlPart::Node node) {
        if (node == XmlPart::Node::Text)
            return true;
        const std::string_view name = xml.name();
        if (name == "cellXfs") {
            inCellFormats = node == XmlPart::Node::Start;
        } else if (node != XmlPart::Node::Start) {
            return true;
        } else if (name == "numFmt") {
            const std::string_view code = xml.attribute("formatCode").value_or("");
            const QString text = QString::fromUtf8(code.data(), qsizetype(code.size()));
            formats_.addFormat(formatId(xml.attribute("numFmtId")), text);
        } else if (name == "xf" && inCellFormats) {
            formats_.addCellFormat(formatId(xml.attribute("numFmtId")));
        }
        return true;
    });
}

NumberKind CellStyles::kindOf(std::uint64_t xf) const
{
    return formatOf(xf).kind;
}

const NumberFormat &CellStyles::formatOf(std::uint64_t xf) const
{
    static const NumberFormat plain;
    return xf <= kLargestIndex ? formats_.formatOf(std::uint16_t(xf)) : plain;
}

}  // namespace spreadsheet::package
