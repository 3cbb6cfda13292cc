#pragma once
// One XML part of a package, read as a stream of nodes while it is expanded,
// so that no part is ever held whole, and expanded once: what is read of a
// part counts only when all of it has come to the size and checksum its
// entry declares (readPart sees to it). No network, no external or internal
// entity is expanded, and a part that declares a document type is refused.
//
// UTF-8 parts, which is what every writer of workbooks produces, go through
// a scanner of our own that hands out views of the expanded bytes instead of
// building a string for every node; a part in any other encoding goes
// through libxml2's reader, which knows them all.

#include "spreadsheet/package/ZipArchive.h"

#include "spreadsheet/SheetColumns.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The bounds a part's markup must keep, as libxml2 keeps them by default:
// past them the part is malformed rather than a reason to hold more memory.
namespace xml_limits {
inline constexpr std::size_t kMaxText = 10'000'000;     // one text node, in bytes
inline constexpr std::size_t kMaxMarkup = 10'000'000;   // one tag, comment or CDATA section, give or take a read
inline constexpr std::size_t kMaxDepth = 256;           // elements open at once
inline constexpr std::size_t kMaxName = 50'000;         // one name
// The namespaces the open elements declare, all together, in bytes.
inline constexpr std::size_t kMaxNamespaces = 10'000'000;
}  // namespace xml_limits

class LibxmlPartReader;

class XmlPart {
public:
    enum class Node { Start, End, Text, Finished, Failed };

    // Reads `entry`, which ZipArchive::located() or checked() has returned.
    explicit XmlPart(const ZipEntry &entry);
    ~XmlPart();
    XmlPart(const XmlPart &) = delete;
    XmlPart &operator=(const XmlPart &) = delete;

    // The next element start, element end or text (character data, CDATA or
    // white space); an empty element gives a Start and then an End. A long
    // text may come as several Text nodes in a row. Finished at the end of
    // the part; Failed, for good, on malformed XML or a document type
    // declaration, with problem() saying why.
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
    // Reads what is left of the part; whether all of it came undamaged to the
    // size and checksum its entry declares.
    bool expandsAsDeclared() { return source_.expandsAsDeclared(); }

private:
    // What scanning one piece of markup came to.
    enum class Scan { Done, More, Bad };

    struct Attribute {
        std::string_view prefix, local, value;
        int uri = -1;  // as Open::uri, or kDeclaration
    };
    // A namespace an open element declares.
    struct Binding {
        std::string prefix, uri;
    };
    struct Open {
        std::size_t nameAt = 0, nameSize = 0;  // its qualified name in names_
        std::size_t localAt = 0;                // where its local name starts in that
        std::size_t bindings = 0;  // bindings_ before it
        int uri = -1;  // index in bindings_; kNoUri or kXmlUri
    };
    static constexpr int kNoUri = -1;
    static constexpr int kXmlUri = -2;
    static constexpr int kDeclaration = -3;  // an xmlns attribute, which is no attribute to the readers
    static constexpr int kUndeclared = -4;

    // Keeps the bytes from at_ on and adds what the part gives next; false at
    // its end or on damage (then with problem_ set).
    bool fill();
    // Makes room for a piece of markup that does not fit; false when it may not grow.
    bool makeRoom();
    Node fail(const QString &why);
    Node failAtEnd();
    void startWithFallback(std::string firstBytes);

    Scan startTag(const char *from, const char *end, Node &node);
    Scan endTag(const char *from, const char *end);
    Scan comment(const char *from, const char *end);
    Scan instruction(const char *from, const char *end);
    Scan cdata(const char *from, const char *end);
    // The text from at_ up to the next '<', or the part of it that is complete.
    Scan textRun(Node &node);
    bool declare(const Attribute &attribute);
    // Drops the namespaces declared after the first `kept`.
    void dropBindings(std::size_t kept);
    int resolve(std::string_view prefix) const;
    std::string_view uriOf(int uri) const;
    // Reads the qualified name at `p` into `prefix` and `local`, moving `p` past it.
    static Scan qualifiedName(const char *&p, const char *end, std::string_view &prefix, std::string_view &local);

    PartInflater source_;
    std::unique_ptr<LibxmlPartReader> fallback_;

    std::vector<char> buffer_;
    std::size_t at_ = 0, end_ = 0;
    bool sourceEnded_ = false;
    // UTF-8 checking of what the part gives, carried from piece to piece;
    // it counts the line ends on the way, for the messages.
    struct Utf8Check {
        unsigned pending = 0, low = 0x80, high = 0xBF;
        std::uint64_t lines = 0;
        bool feed(const unsigned char *bytes, std::size_t size);
    } utf8_;

    Node node_ = Node::Failed;
    std::string_view name_, text_;
    int uri_ = kNoUri;
    std::vector<Attribute> attributes_;
    std::string values_;   // attribute values that needed decoding
    std::string decoded_;  // a text that needed decoding
    std::string names_;    // the qualified names of the open elements, end to end
    std::vector<Open> open_;
    std::vector<Binding> bindings_;
    std::size_t bindingBytes_ = 0;  // of the prefixes and names in bindings_
    std::size_t textSoFar_ = 0;  // of the text node being handed out in pieces
    std::size_t emptyBindings_ = 0;
    bool pendingEnd_ = false;  // an empty element still owes its End
    bool pendingPop_ = false;  // the End handed out still holds its element
    bool pendingEmptyPop_ = false;
    bool begun_ = false;  // something other than a byte order mark has been read
    bool rootSeen_ = false, finished_ = false;
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
