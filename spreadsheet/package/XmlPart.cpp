#include "spreadsheet/package/XmlPart.h"

#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace spreadsheet::package {
namespace {

// What the buffer starts at, and about what one read asks the part for:
// large enough that a sheet's markup rarely straddles two reads.
constexpr std::size_t kPiece = 256 * 1024;
// The start of a part that must be in hand to tell its encoding.
constexpr std::size_t kEncodingWindow = 512;
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
const QString kDocumentType = QStringLiteral("a part declares a document type, which workbooks never do");

constexpr std::uint8_t kStartsName = 1, kContinuesName = 2;
constexpr std::array<std::uint8_t, 256> kNameChars = [] {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        // Every byte of a multi-byte character may stand in a name: the UTF-8
        // check has already made sure they form characters.
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80)
            table[std::size_t(c)] = kStartsName | kContinuesName;
        else if ((c >= '0' && c <= '9') || c == '.' || c == '-')
            table[std::size_t(c)] = kContinuesName;
    }
    return table;
}();

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

bool isXmlCharacter(std::uint32_t code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
           || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

void appendUtf8(std::string &out, std::uint32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// Appends what the reference after `p` (just past its '&') stands for and
// returns where it ends; nullptr for a reference to anything but the five
// predefined entities or a character, as no entity is ever declared here.
const char *reference(const char *p, const char *end, std::string &out)
{
    constexpr std::ptrdiff_t kLongest = 32;  // "#x" and a code point with room for leading zeros
    const auto *semicolon = static_cast<const char *>(std::memchr(p, ';', std::size_t(std::min(end - p, kLongest))));
    if (!semicolon)
        return nullptr;
    const std::string_view name(p, std::size_t(semicolon - p));
    if (name == "lt")
        out += '<';
    else if (name == "gt")
        out += '>';
    else if (name == "amp")
        out += '&';
    else if (name == "apos")
        out += '\'';
    else if (name == "quot")
        out += '"';
    else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty())
            return nullptr;
        std::uint32_t code = 0;
        for (const char c : digits) {
            int value = -1;
            if (c >= '0' && c <= '9')
                value = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                value = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                value = c - 'A' + 10;
            if (value < 0)
                return nullptr;
            code = code * (hex ? 16 : 10) + std::uint32_t(value);
            if (code > 0x10FFFF)
                return nullptr;
        }
        if (!isXmlCharacter(code))
            return nullptr;
        appendUtf8(out, code);
    } else {
        return nullptr;
    }
    return semicolon + 1;
}

// Writes `raw` to `out` as the application sees it: references replaced (when
// `references`), line ends made one '\n', and in an attribute value every
// white space character a space. False on a reference that is none, or a '<'
// in an attribute value.
bool decode(std::string_view raw, std::string &out, bool references, bool attribute)
{
    const char *p = raw.data(), *end = raw.data() + raw.size();
    while (p < end) {
        const char c = *p;
        if (c == '&' && references) {
            p = reference(p + 1, end, out);
            if (!p)
                return false;
        } else if (c == '\r') {
            out += attribute ? ' ' : '\n';
            p += p + 1 < end && p[1] == '\n' ? 2 : 1;
        } else if (attribute && (c == '\n' || c == '\t')) {
            out += ' ';
            ++p;
        } else if (attribute && c == '<') {
            return false;
        } else {
            out += c;
            ++p;
        }
    }
    return true;
}

bool attributeNeedsDecoding(std::string_view raw)
{
    return std::any_of(raw.begin(), raw.end(),
                       [](char c) { return c == '&' || c == '<' || c == '\r' || c == '\n' || c == '\t'; });
}

// Whether a part starting with `start` is UTF-8: no byte order mark of
// UTF-16 or UTF-32, and no declaration of another encoding.
bool isUtf8(std::string_view start)
{
    if (start.size() >= 2 && (start[0] == '\0' || start[1] == '\0' || std::uint8_t(start[0]) == 0xFE
                              || std::uint8_t(start[0]) == 0xFF))
        return false;
    if (start.starts_with(kByteOrderMark))
        start.remove_prefix(kByteOrderMark.size());
    if (!start.starts_with("<?xml") || start.size() < 6 || !isSpace(start[5]))
        return true;
    const std::string_view declaration = start.substr(0, start.find("?>"));
    const std::size_t key = declaration.find("encoding");
    if (key == std::string_view::npos)
        return true;
    std::size_t at = key + 8;
    while (at < declaration.size() && (isSpace(declaration[at]) || declaration[at] == '='))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return true;  // malformed: the scanner says so
    const std::size_t close = declaration.find(declaration[at], at + 1);
    std::string name(declaration.substr(at + 1, close == std::string_view::npos ? 0 : close - at - 1));
    for (char &c : name)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name == "utf-8" || name == "utf8";
}

std::string_view view(const xmlChar *text)
{
    return text ? std::string_view(reinterpret_cast<const char *>(text)) : std::string_view();
}

}  // namespace

// A part in an encoding other than UTF-8, read by libxml2's reader, which
// converts it; its first bytes, already taken to look at the encoding, come
// first.
class LibxmlPartReader {
public:
    LibxmlPartReader(PartInflater &source, std::string firstBytes, QString &problem)
        : source_(source), first_(std::move(firstBytes)), problem_(problem)
    {
        // No network, and entities left as they are (no XML_PARSE_NOENT, no DTD
        // loading); messages come to onError instead of standard error.
        constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;
        reader_ = xmlReaderForIO(readPiece, nullptr, this, nullptr, nullptr, kOptions);
        if (reader_)
            xmlTextReaderSetStructuredErrorHandler(reader_, onError, this);
        else
            problem_ = QStringLiteral("the XML reader could not be started");
    }
    ~LibxmlPartReader()
    {
        if (reader_)
            xmlFreeTextReader(reader_);
    }
    LibxmlPartReader(const LibxmlPartReader &) = delete;
    LibxmlPartReader &operator=(const LibxmlPartReader &) = delete;

    XmlPart::Node next()
    {
        if (pendingEnd_) {
            pendingEnd_ = false;
            return XmlPart::Node::End;
        }
        while (problem_.isEmpty()) {
            const int status = xmlTextReaderRead(reader_);
            if (status == 0)
                return XmlPart::Node::Finished;
            if (status < 0)
                break;
            switch (xmlTextReaderNodeType(reader_)) {
            case XML_READER_TYPE_ELEMENT:
                pendingEnd_ = xmlTextReaderIsEmptyElement(reader_) == 1;
                return XmlPart::Node::Start;
            case XML_READER_TYPE_END_ELEMENT:
                return XmlPart::Node::End;
            case XML_READER_TYPE_TEXT:
            case XML_READER_TYPE_CDATA:
            case XML_READER_TYPE_WHITESPACE:
            case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
                return XmlPart::Node::Text;
            case XML_READER_TYPE_DOCUMENT_TYPE:
            case XML_READER_TYPE_ENTITY_REFERENCE:
                problem_ = kDocumentType;
                break;
            default:
                break;  // comments, processing instructions
            }
        }
        if (problem_.isEmpty())
            problem_ = QStringLiteral("malformed XML");
        return XmlPart::Node::Failed;
    }

    std::string_view name() const { return view(xmlTextReaderConstLocalName(reader_)); }
    std::string_view namespaceUri() const { return view(xmlTextReaderConstNamespaceUri(reader_)); }
    std::string_view text() const { return view(xmlTextReaderConstValue(reader_)); }

    std::optional<std::string_view> attribute(std::string_view local, std::string_view uri) const
    {
        std::optional<std::string_view> value;
        for (int more = xmlTextReaderMoveToFirstAttribute(reader_); more == 1 && !value;
             more = xmlTextReaderMoveToNextAttribute(reader_)) {
            if (view(xmlTextReaderConstLocalName(reader_)) == local
                && view(xmlTextReaderConstNamespaceUri(reader_)) == uri)
                value = view(xmlTextReaderConstValue(reader_));
        }
        xmlTextReaderMoveToElement(reader_);
        return value;
    }

private:
    static int readPiece(void *self, char *out, int capacity)
    {
        auto *reader = static_cast<LibxmlPartReader *>(self);
        if (reader->firstAt_ < reader->first_.size()) {
            const std::size_t count = std::min(std::size_t(capacity), reader->first_.size() - reader->firstAt_);
            std::memcpy(out, reader->first_.data() + reader->firstAt_, count);
            reader->firstAt_ += count;
            return int(count);
        }
        return reader->source_.read(out, capacity);
    }

    static void onError(void *self, xmlError *error)
    {
        auto *reader = static_cast<LibxmlPartReader *>(self);
        if (error && error->level >= XML_ERR_ERROR && reader->problem_.isEmpty())
            reader->problem_ = QStringLiteral("malformed XML at line %1: %2")
                                   .arg(error->line)
                                   .arg(QString::fromUtf8(error->message ? error->message : "").trimmed());
    }

    PartInflater &source_;
    std::string first_;
    std::size_t firstAt_ = 0;
    QString &problem_;
    xmlTextReader *reader_ = nullptr;
    bool pendingEnd_ = false;  // an empty element still owes its End
};

bool XmlPart::Utf8Check::feed(const unsigned char *bytes, std::size_t size)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::uint64_t kSpaces = 0x2020202020202020ULL;
    std::size_t at = 0;
    while (at < size) {
        if (pending == 0) {
            // Eight plain ASCII characters at a time: no high bit, no control character.
            while (at + 8 <= size) {
                std::uint64_t word;
                std::memcpy(&word, bytes + at, 8);
                if ((word & kHighBits) != 0 || ((word - kSpaces) & ~word & kHighBits) != 0)
                    break;
                at += 8;
            }
            if (at >= size)
                break;
            const unsigned c = bytes[at++];
            if (c < 0x80) {
                if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                    return false;  // no control character may stand in XML 1.0
                lines += c == '\n';
                continue;
            }
            // The ranges of the next byte rule out overlong forms, surrogates
            // and code points past U+10FFFF.
            low = 0x80;
            high = 0xBF;
            if (c >= 0xC2 && c <= 0xDF) {
                pending = 1;
            } else if (c >= 0xE0 && c <= 0xEF) {
                pending = 2;
                low = c == 0xE0 ? 0xA0 : 0x80;
                high = c == 0xED ? 0x9F : 0xBF;
                if (c == 0xEF)
                    high = 0xBF | 0x100;  // marks U+Fxxx, whose last two of all are no characters
            } else if (c >= 0xF0 && c <= 0xF4) {
                pending = 3;
                low = c == 0xF0 ? 0x90 : 0x80;
                high = c == 0xF4 ? 0x8F : 0xBF;
            } else {
                return false;
            }
            continue;
        }
        const unsigned c = bytes[at++];
        const bool noncharacterRow = (high & 0x100) != 0;
        if (c < low || c > (high & 0xFF))
            return false;
        --pending;
        low = 0x80;
        high = noncharacterRow && c == 0xBF ? 0xBD : 0xBF;  // U+FFFE and U+FFFF are no characters
    }
    return true;
}

XmlPart::XmlPart(const ZipEntry &entry) : source_(entry), buffer_(kPiece)
{
    while (end_ < kEncodingWindow && !sourceEnded_) {
        const int got = source_.read(buffer_.data() + end_, int(buffer_.size() - end_));
        if (got < 0) {
            problem_ = damagedPartProblem();
            return;
        }
        sourceEnded_ = got == 0;
        end_ += std::size_t(got);
    }
    const std::string_view start(buffer_.data(), end_);
    if (!isUtf8(start)) {
        fallback_ = std::make_unique<LibxmlPartReader>(source_, std::string(start), problem_);
        buffer_ = {};
        return;
    }
    if (!utf8_.feed(reinterpret_cast<const unsigned char *>(buffer_.data()), end_))
        fail(QStringLiteral("a byte that is no character"));
    if (start.starts_with(kByteOrderMark))
        at_ = kByteOrderMark.size();
}

XmlPart::~XmlPart() = default;

XmlPart::Node XmlPart::fail(const QString &why)
{
    if (problem_.isEmpty()) {
        const auto line =
            utf8_.lines - std::uint64_t(std::count(buffer_.data() + at_, buffer_.data() + end_, '\n')) + 1;
        problem_ = QStringLiteral("malformed XML at line %1: %2").arg(line).arg(why);
    }
    return Node::Failed;
}

bool XmlPart::fill()
{
    if (sourceEnded_ || !problem_.isEmpty())
        return false;
    if (at_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
        end_ -= at_;
        at_ = 0;
    }
    const auto room = int(std::min<std::size_t>(buffer_.size() - end_, INT_MAX));
    const int got = source_.read(buffer_.data() + end_, room);
    if (got < 0) {
        problem_ = damagedPartProblem();
        return false;
    }
    if (got == 0) {
        sourceEnded_ = true;
        return false;
    }
    if (!utf8_.feed(reinterpret_cast<const unsigned char *>(buffer_.data() + end_), std::size_t(got))) {
        fail(QStringLiteral("a byte that is no character"));
        return false;
    }
    end_ += std::size_t(got);
    return true;
}

bool XmlPart::makeRoom()
{
    if (at_ == 0 && end_ == buffer_.size()) {
        // One piece of markup fills the buffer: it may grow up to the bound on markup.
        if (buffer_.size() >= xml_limits::kMaxMarkup + kPiece) {
            fail(QStringLiteral("a tag, comment or CDATA section longer than %1 bytes").arg(xml_limits::kMaxMarkup));
            return false;
        }
        buffer_.resize(std::min(buffer_.size() * 2, xml_limits::kMaxMarkup + kPiece));
    }
    return fill() || problem_.isEmpty();
}

XmlPart::Node XmlPart::failAtEnd()
{
    if (utf8_.pending > 0)
        return fail(QStringLiteral("the part ends inside a character"));
    if (!open_.empty())
        return fail(QStringLiteral("the part ends inside element %1")
                        .arg(QString::fromUtf8(names_.data() + open_.back().nameAt, qsizetype(open_.back().nameSize))));
    if (!rootSeen_)
        return fail(QStringLiteral("the part holds no element"));
    finished_ = true;
    return Node::Finished;
}

XmlPart::Node XmlPart::next()
{
    if (fallback_)
        return fallback_->next();
    if (!problem_.isEmpty())
        return Node::Failed;
    if (pendingEnd_) {
        pendingEnd_ = false;
        pendingEmptyPop_ = true;
        attributes_.clear();
        return node_ = Node::End;
    }
    if (pendingEmptyPop_) {
        dropBindings(emptyBindings_);
        pendingEmptyPop_ = false;
    }
    if (pendingPop_) {
        names_.resize(open_.back().nameAt);
        dropBindings(open_.back().bindings);
        open_.pop_back();
        pendingPop_ = false;
    }
    if (finished_)
        return Node::Finished;
    for (;;) {
        if (at_ == end_) {
            if (fill())
                continue;
            return problem_.isEmpty() ? failAtEnd() : Node::Failed;
        }
        const char *from = buffer_.data() + at_;
        const char *end = buffer_.data() + end_;
        Node node = Node::Finished;  // here: nothing to hand out, read on
        Scan scan = Scan::More;
        if (*from != '<') {
            scan = textRun(node);
        } else if (end - from < 2) {
            scan = Scan::More;
        } else if (from[1] == '/') {
            scan = endTag(from, end);
            node = Node::End;
        } else if (from[1] == '?') {
            scan = instruction(from, end);
        } else if (from[1] == '!') {
            const std::string_view rest(from, std::size_t(end - from));
            if (rest.starts_with("<!--"))
                scan = comment(from, end);
            else if (rest.size() < 9)
                scan = Scan::More;
            else if (rest.starts_with("<![CDATA["))
                scan = cdata(from, end), node = Node::Text;
            else if (rest.starts_with("<!DOCTYPE")) {
                problem_ = kDocumentType;
                return Node::Failed;
            } else
                return fail(QStringLiteral("markup that is no element, comment or CDATA section"));
        } else {
            scan = startTag(from, end, node);
        }
        if (scan == Scan::Bad)
            return Node::Failed;
        if (scan == Scan::More) {
            if (sourceEnded_)
                return fail(QStringLiteral("the part ends inside markup"));
            if (!makeRoom())
                return Node::Failed;
            continue;
        }
        begun_ = true;
        if (node != Node::Finished) {
            if (node != Node::Start)
                attributes_.clear();
            return node_ = node;
        }
    }
}

XmlPart::Scan XmlPart::qualifiedName(const char *&p, const char *end, std::string_view &prefix,
                                     std::string_view &local)
{
    const char *start = p, *colon = nullptr;
    for (; p < end; ++p) {
        const auto c = std::uint8_t(*p);
        if (kNameChars[c] & kContinuesName)
            continue;
        if (c == ':' && !colon) {
            colon = p;
            continue;
        }
        break;
    }
    if (p == end)
        return Scan::More;
    if (std::size_t(p - start) > xml_limits::kMaxName)
        return Scan::Bad;
    const char *localStart = colon ? colon + 1 : start;
    if (localStart == p || !(kNameChars[std::uint8_t(*start)] & kStartsName)
        || !(kNameChars[std::uint8_t(*localStart)] & kStartsName))
        return Scan::Bad;
    prefix = colon ? std::string_view(start, std::size_t(colon - start)) : std::string_view();
    local = std::string_view(localStart, std::size_t(p - localStart));
    return Scan::Done;
}

int XmlPart::resolve(std::string_view prefix) const
{
    if (prefix == "xml")
        return kXmlUri;
    for (std::size_t i = bindings_.size(); i-- > 0;) {
        if (bindings_[i].prefix == prefix)
            return int(i);
    }
    return prefix.empty() ? kNoUri : kUndeclared;
}

std::string_view XmlPart::uriOf(int uri) const
{
    if (uri >= 0)
        return bindings_[std::size_t(uri)].uri;
    return uri == kXmlUri ? kXmlNamespace : std::string_view();
}

void XmlPart::dropBindings(std::size_t kept)
{
    for (std::size_t i = kept; i < bindings_.size(); ++i)
        bindingBytes_ -= bindings_[i].prefix.size() + bindings_[i].uri.size();
    bindings_.resize(kept);
}

bool XmlPart::declare(const Attribute &attribute)
{
    // Bounded like everything else the scanner keeps: a namespace name can be as long as an attribute value.
    bindingBytes_ += (attribute.prefix.empty() ? 0 : attribute.local.size()) + attribute.value.size();
    if (bindingBytes_ > xml_limits::kMaxNamespaces)
        return false;
    if (attribute.prefix.empty()) {
        bindings_.push_back({std::string(), std::string(attribute.value)});
        return true;
    }
    if (attribute.value.empty() || attribute.local == "xmlns"
        || (attribute.local == "xml") != (attribute.value == kXmlNamespace))
        return false;
    bindings_.push_back({std::string(attribute.local), std::string(attribute.value)});
    return true;
}

XmlPart::Scan XmlPart::startTag(const char *from, const char *end, Node &node)
{
    const char *p = from + 1;
    std::string_view prefix, local;
    if (const Scan scan = qualifiedName(p, end, prefix, local); scan != Scan::Done)
        return scan == Scan::More ? scan : (fail(QStringLiteral("an element without a proper name, or one too long")), scan);
    attributes_.clear();
    bool empty = false;
    for (;;) {
        const char *afterName = p;
        while (p < end && isSpace(*p))
            ++p;
        if (p == end)
            return Scan::More;
        if (*p == '>') {
            ++p;
            break;
        }
        if (*p == '/') {
            if (p + 1 == end)
                return Scan::More;
            if (p[1] != '>')
                return fail(QStringLiteral("a '/' inside a tag")), Scan::Bad;
            p += 2;
            empty = true;
            break;
        }
        Attribute attribute;
        if (p == afterName)
            return fail(QStringLiteral("attributes not apart by white space")), Scan::Bad;
        if (const Scan scan = qualifiedName(p, end, attribute.prefix, attribute.local); scan != Scan::Done)
            return scan == Scan::More ? scan : (fail(QStringLiteral("an attribute without a proper name, or one too long")), scan);
        while (p < end && isSpace(*p))
            ++p;
        if (p == end)
            return Scan::More;
        if (*p != '=')
            return fail(QStringLiteral("an attribute without a value")), Scan::Bad;
        ++p;
        while (p < end && isSpace(*p))
            ++p;
        if (p >= end)
            return Scan::More;
        if (*p != '"' && *p != '\'')
            return fail(QStringLiteral("an attribute value without quotes")), Scan::Bad;
        const auto *close = static_cast<const char *>(std::memchr(p + 1, *p, std::size_t(end - p - 1)));
        if (!close)
            return Scan::More;
        attribute.value = std::string_view(p + 1, std::size_t(close - p - 1));
        attributes_.push_back(attribute);
        p = close + 1;
    }

    // The whole tag is in hand: its values, namespaces and rules.
    values_.clear();
    values_.reserve(std::size_t(p - from));  // values only shrink as they decode, so views into it stay put
    for (Attribute &attribute : attributes_) {
        if (!attributeNeedsDecoding(attribute.value))
            continue;
        const std::size_t at = values_.size();
        if (!decode(attribute.value, values_, true, true))
            return fail(QStringLiteral("a reference to an entity that is not defined, or '<', in an attribute value")),
                   Scan::Bad;
        attribute.value = std::string_view(values_.data() + at, values_.size() - at);
    }
    if (open_.empty() && rootSeen_)
        return fail(QStringLiteral("a second root element")), Scan::Bad;
    if (open_.size() >= xml_limits::kMaxDepth)
        return fail(QStringLiteral("elements nested deeper than %1").arg(xml_limits::kMaxDepth)), Scan::Bad;
    const std::size_t bindingsBefore = bindings_.size();
    for (Attribute &attribute : attributes_) {
        if (attribute.prefix == "xmlns" || (attribute.prefix.empty() && attribute.local == "xmlns")) {
            attribute.uri = kDeclaration;
            if (!declare(attribute))
                return fail(QStringLiteral("a namespace declaration that binds nothing or a reserved prefix, "
                                           "or namespaces past %1 bytes")
                                .arg(xml_limits::kMaxNamespaces)),
                       Scan::Bad;
        }
    }
    const int uri = resolve(prefix);
    if (uri == kUndeclared)
        return fail(QStringLiteral("namespace prefix %1 is not defined")
                        .arg(QString::fromUtf8(prefix.data(), qsizetype(prefix.size())))),
               Scan::Bad;
    for (std::size_t i = 0; i < attributes_.size(); ++i) {
        Attribute &attribute = attributes_[i];
        if (attribute.uri != kDeclaration) {
            attribute.uri = attribute.prefix.empty() ? kNoUri : resolve(attribute.prefix);
            if (attribute.uri == kUndeclared)
                return fail(QStringLiteral("namespace prefix %1 of an attribute is not defined")
                                .arg(QString::fromUtf8(attribute.prefix.data(), qsizetype(attribute.prefix.size())))),
                       Scan::Bad;
        }
        for (std::size_t j = 0; j < i; ++j) {
            const Attribute &other = attributes_[j];
            if (other.local.size() != attribute.local.size() || other.local[0] != attribute.local[0])
                continue;  // the common case, settled without comparing names whole
            const bool sameName = other.local == attribute.local && other.prefix == attribute.prefix;
            const bool sameExpanded = other.local == attribute.local && attribute.uri >= 0 && other.uri >= 0
                                      && uriOf(other.uri) == uriOf(attribute.uri);
            if (sameName || sameExpanded)
                return fail(QStringLiteral("attribute %1 given twice")
                                .arg(QString::fromUtf8(attribute.local.data(), qsizetype(attribute.local.size())))),
                       Scan::Bad;
        }
    }

    rootSeen_ = true;
    name_ = local;
    uri_ = uri;
    const auto qualifiedSize = std::size_t(local.data() + local.size() - (from + 1));
    if (empty) {
        pendingEnd_ = true;
        emptyBindings_ = bindingsBefore;
    } else {
        open_.push_back({names_.size(), qualifiedSize, std::size_t(local.data() - (from + 1)), bindingsBefore, uri});
        names_.append(from + 1, qualifiedSize);
    }
    at_ = std::size_t(p - buffer_.data());
    node = Node::Start;
    return Scan::Done;
}

XmlPart::Scan XmlPart::endTag(const char *from, const char *end)
{
    const char *p = from + 2;
    std::string_view prefix, local;
    if (const Scan scan = qualifiedName(p, end, prefix, local); scan != Scan::Done)
        return scan == Scan::More ? scan : (fail(QStringLiteral("an end tag without a proper name")), scan);
    while (p < end && isSpace(*p))
        ++p;
    if (p == end)
        return Scan::More;
    if (*p != '>')
        return fail(QStringLiteral("an end tag with more than a name")), Scan::Bad;
    const std::string_view qualified(from + 2, std::size_t(local.data() + local.size() - (from + 2)));
    if (open_.empty())
        return fail(QStringLiteral("an end tag without its start")), Scan::Bad;
    const Open &top = open_.back();
    const std::string_view opened(names_.data() + top.nameAt, top.nameSize);
    if (qualified != opened)
        return fail(QStringLiteral("end tag %1 where %2 was open")
                        .arg(QString::fromUtf8(qualified.data(), qsizetype(qualified.size())),
                             QString::fromUtf8(opened.data(), qsizetype(opened.size())))),
               Scan::Bad;
    name_ = opened.substr(top.localAt);
    uri_ = top.uri;
    pendingPop_ = true;
    at_ = std::size_t(p + 1 - buffer_.data());
    return Scan::Done;
}

XmlPart::Scan XmlPart::comment(const char *from, const char *end)
{
    const std::string_view body(from + 4, std::size_t(end - from - 4));
    const std::size_t dashes = body.find("--");
    if (dashes == std::string_view::npos || dashes + 2 >= body.size())
        return Scan::More;
    if (body[dashes + 2] != '>')
        return fail(QStringLiteral("'--' inside a comment")), Scan::Bad;
    at_ = std::size_t(body.data() + dashes + 3 - buffer_.data());
    return Scan::Done;
}

XmlPart::Scan XmlPart::instruction(const char *from, const char *end)
{
    const char *p = from + 2;
    std::string_view prefix, target;
    if (const Scan scan = qualifiedName(p, end, prefix, target); scan != Scan::Done)
        return scan == Scan::More ? scan : (fail(QStringLiteral("a processing instruction without a target")), scan);
    const bool declaration = prefix.empty() && target.size() == 3 && (target[0] | 0x20) == 'x'
                             && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l';
    if (declaration && begun_)
        return fail(QStringLiteral("an XML declaration after the start of the part")), Scan::Bad;
    const std::string_view rest(p, std::size_t(end - p));
    const std::size_t close = rest.find("?>");
    if (close == std::string_view::npos)
        return Scan::More;
    at_ = std::size_t(p + close + 2 - buffer_.data());
    return Scan::Done;
}

XmlPart::Scan XmlPart::cdata(const char *from, const char *end)
{
    const std::string_view body(from + 9, std::size_t(end - from - 9));
    const std::size_t close = body.find("]]>");
    if (close == std::string_view::npos)
        return Scan::More;
    if (open_.empty())
        return fail(QStringLiteral("a CDATA section outside the root element")), Scan::Bad;
    text_ = body.substr(0, close);
    if (text_.find('\r') != std::string_view::npos) {
        decoded_.clear();
        decode(text_, decoded_, false, false);
        text_ = decoded_;
    }
    at_ = std::size_t(body.data() + close + 3 - buffer_.data());
    return Scan::Done;
}

XmlPart::Scan XmlPart::textRun(Node &node)
{
    const char *from = buffer_.data() + at_;
    const char *end = buffer_.data() + end_;
    const auto *next = static_cast<const char *>(std::memchr(from, '<', std::size_t(end - from)));
    const char *stop = next ? next : end;
    if (!next && !sourceEnded_) {
        if (at_ > 0 || end_ < buffer_.size())
            return Scan::More;
        // The buffer holds nothing but text: hand out what is complete of it
        // rather than hold more. Kept for the next piece: a reference that
        // may be cut, a '\r' whose '\n' may follow, and a character that may
        // be cut, so that each piece is text on its own.
        constexpr std::ptrdiff_t kLongestReference = 34;
        for (const char *p = end - 1; p >= end - kLongestReference; --p) {
            if (*p == ';')
                break;
            if (*p == '&') {
                stop = p;
                break;
            }
        }
        if (stop[-1] == '\r')
            --stop;
        const char *lead = stop - 1;
        for (int back = 0; back < 3 && (std::uint8_t(*lead) & 0xC0) == 0x80; ++back)
            --lead;
        if (std::uint8_t(*lead) >= 0xC0)
            stop = lead;
    }
    const std::string_view raw(from, std::size_t(stop - from));
    if (open_.empty()) {
        // Outside the root element only white space may stand, and it is no node.
        if (!std::all_of(raw.begin(), raw.end(), isSpace))
            return fail(QStringLiteral("text outside the root element")), Scan::Bad;
        at_ = std::size_t(stop - buffer_.data());
        return Scan::Done;
    }
    if (node_ != Node::Text)
        textSoFar_ = 0;
    textSoFar_ += raw.size();
    if (textSoFar_ > xml_limits::kMaxText)
        return fail(QStringLiteral("a text longer than %1 bytes").arg(xml_limits::kMaxText)), Scan::Bad;
    text_ = raw;
    if (raw.find('&') != std::string_view::npos || raw.find('\r') != std::string_view::npos) {
        decoded_.clear();
        if (!decode(raw, decoded_, true, false))
            return fail(QStringLiteral("a reference to an entity that is not defined")), Scan::Bad;
        text_ = decoded_;
    }
    at_ = std::size_t(stop - buffer_.data());
    node = Node::Text;
    return Scan::Done;
}

std::string_view XmlPart::name() const
{
    return fallback_ ? fallback_->name() : name_;
}

std::string_view XmlPart::namespaceUri() const
{
    return fallback_ ? fallback_->namespaceUri() : uriOf(uri_);
}

std::optional<std::string_view> XmlPart::attribute(std::string_view local, std::string_view uri) const
{
    if (fallback_)
        return fallback_->attribute(local, uri);
    for (const Attribute &attribute : attributes_) {
        if (attribute.local == local && attribute.uri != kDeclaration && uriOf(attribute.uri) == uri)
            return attribute.value;
    }
    return std::nullopt;
}

std::string_view XmlPart::text() const
{
    return fallback_ ? fallback_->text() : text_;
}

ReadOutcome readPart(const ZipArchive &zip, std::string_view path, const NodeVisitor &visit)
{
    ReadOutcome outcome;
    const CheckedPart part = zip.located(path);
    if (!part.problem.isEmpty())
        return ReadOutcome::refusal(ReadError::Damaged, part.problem);
    XmlPart xml(part.entry);
    for (XmlPart::Node node = xml.next(); node != XmlPart::Node::Finished; node = xml.next()) {
        if (node == XmlPart::Node::Failed) {
            outcome.refuse(ReadError::Damaged,
                           QStringLiteral("%1: %2").arg(QString::fromUtf8(path.data(), qsizetype(path.size())),
                                                        xml.problem()));
            break;
        }
        if (!visit(xml, node))
            break;
    }
    // Damage in the data outweighs whatever the XML made of it: the reader
    // would have been refused the part before reading it.
    if (!xml.expandsAsDeclared())
        outcome.refuse(ReadError::Damaged, damagedPartProblem());
    return outcome;
}

}  // namespace spreadsheet::package
