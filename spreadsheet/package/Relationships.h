#pragma once
// A relationships part of an Office Open XML package (_rels/.rels,
// xl/_rels/workbook.xml.rels): which part each id or type points at.

#include "spreadsheet/package/XmlPart.h"

#include <map>
#include <string>
#include <string_view>

namespace spreadsheet::package {

class Relationships {
public:
    // Reads part `path`, whose relative targets start from folder `base`
    // ("" or "xl/"); Damaged when it is missing or malformed.
    ReadOutcome read(const ZipArchive &zip, std::string_view path, std::string_view base);
    // The part that relationship `id` points at, as a path in the archive; "" when there is none.
    std::string target(std::string_view id) const;
    // The part the first relationship whose type ends in "/`kind`" points at; "" when there is none.
    std::string targetOfKind(std::string_view kind) const;

    // The path of the relationships part that belongs to part `path`.
    static std::string partFor(std::string_view path);
    // The folder of part `path`, with its final slash ("" at the root).
    static std::string folderOf(std::string_view path);

private:
    struct Link {
        std::string type, target;
    };
    std::map<std::string, Link, std::less<>> links_;  // by id
    std::string base_;
    std::string resolved(const std::string &target) const;
};

}  // namespace spreadsheet::package
