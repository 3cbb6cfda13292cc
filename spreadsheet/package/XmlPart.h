#pragma once
// One XML part of a package, read as a stream of nodes by libxml2's reader
// while it is expanded, so that no part is ever held whole. Only parts the
// archive has checked are read; no network, no external or internal entity
// is expanded, and a part that declares a document type is refused.

#include "spreadsheet/package/ZipArchive.h"

#include "spreadsheet/SheetColumns.h"

#include <QString>

#include <functional>
#include <optional>
#include <string_view>

struct _xmlTextReader;
struct _xmlError;

namespace spreadsheet::package {

// Namespaces of the attributes the readers look at.
namespace ns {
inline constexpr std::string_view kNone;  // an attribute without a prefix
inline constexpr std::string_view kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
inline constexpr std::string_view kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
inline constexpr std::string_view kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
inline constexpr std::string_view kManifest = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";
inline constexpr std::string_view kCalcExt = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";
}  // namespace ns

class XmlPart {
public:
    enum class Node { Start, End, Text, Finished, Failed };

    // Reads `entry`, which ZipArchive::checked() has returned.
    explicit XmlPart(const ZipEntry &entry);
    ~XmlPart();
    XmlPart(const XmlPart &) = delete;
    XmlPart &operator=(const XmlPart &) = delete;

    // The next element start, element end or text (character data, CDATA or
    // white space); an empty element gives a Start and then an End. Finished
    // at the end of the part; Failed, for good, on malformed XML or a
    // document type declaration, with problem() saying why.
    Node next();
    // The local name of the element at a Start or End.
    std::string_view name() const;
    // At a Start: the value of attribute `local` in namespace `uri` (kNone:
    // no namespace; any other view compares by content); nullopt when absent.
    // The view lasts until the next call.
    std::optional<std::string_view> attribute(std::string_view local, std::string_view uri = ns::kNone) const;
    // The namespace of the current element ("" for none).
    std::string_view namespaceUri() const;
    // The characters at a Text node.
    std::string_view text() const;
    // Why the part failed; empty before that.
    const QString &problem() const { return problem_; }

private:
    static void onError(void *self, _xmlError *error);

    PartInflater source_;
    _xmlTextReader *reader_ = nullptr;
    bool pendingEnd_ = false;  // an empty element still owes its End
    QString problem_;
};

// What a part's reader does with each Start, End and Text node; false stops
// the reading (the reader keeps its own reason).
using NodeVisitor = std::function<bool(const XmlPart &xml, XmlPart::Node node)>;

// Reads part `path` of `zip` through `visit`. Damaged, with the reason, when
// the part is missing, damaged or malformed; None when it was read to its end
// or the visitor stopped.
ReadOutcome readPart(const ZipArchive &zip, std::string_view path, const NodeVisitor &visit);

}  // namespace spreadsheet::package
