#include "spreadsheet/package/SharedStrings.h"

#include "spreadsheet/package/CellValues.h"

#include <string>

namespace spreadsheet::package {

ReadOutcome SharedStrings::read(const ZipArchive &zip, std::string_view path, SheetRows &rows)
{
    std::string entry;
    bool inText = false;
    int phonetic = 0;  // depth inside <rPh>
    return readPart(zip, path, [&](const XmlPart &xml, XmlPart::Node node) {
        if (node == XmlPart::Node::Text) {
            if (inText && phonetic == 0)
                entry += xml.text();
            return true;
        }
        const bool start = node == XmlPart::Node::Start;
        const std::string_view name = xml.name();
        if (name == "t") {
            inText = start;
        } else if (name == "rPh") {
            phonetic += start ? 1 : -1;
        } else if (name == "si") {
            if (!start)
                strings_.push_back(rows.keep(unescapedText(entry)));
            entry.clear();
        }
        return true;
    });
}

std::optional<RowStore::Text> SharedStrings::at(std::size_t index) const
{
    if (index >= strings_.size())
        return std::nullopt;
    return strings_[index];
}

}  // namespace spreadsheet::package
