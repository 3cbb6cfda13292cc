#include "spreadsheet/package/XmlPart.h"

#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>

namespace spreadsheet::package {
namespace {

std::string_view view(const xmlChar *text)
{
    return text ? std::string_view(reinterpret_cast<const char *>(text)) : std::string_view();
}

int readPiece(void *source, char *out, int capacity)
{
    return static_cast<PartInflater *>(source)->read(out, capacity);
}

// No network, and entities left as they are (no XML_PARSE_NOENT, no DTD
// loading); messages come to onError instead of standard error.
constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

}  // namespace

XmlPart::XmlPart(const ZipEntry &entry) : source_(entry)
{
    reader_ = xmlReaderForIO(readPiece, nullptr, &source_, nullptr, nullptr, kOptions);
    if (reader_)
        xmlTextReaderSetStructuredErrorHandler(reader_, onError, this);
    else
        problem_ = QStringLiteral("the XML reader could not be started");
}

XmlPart::~XmlPart()
{
    if (reader_)
        xmlFreeTextReader(reader_);
}

void XmlPart::onError(void *self, xmlError *error)
{
    auto *part = static_cast<XmlPart *>(self);
    if (error && error->level >= XML_ERR_ERROR && part->problem_.isEmpty())
        part->problem_ = QStringLiteral("malformed XML at line %1: %2")
                             .arg(error->line)
                             .arg(QString::fromUtf8(error->message ? error->message : "").trimmed());
}

XmlPart::Node XmlPart::next()
{
    if (pendingEnd_) {
        pendingEnd_ = false;
        return Node::End;
    }
    while (problem_.isEmpty()) {
        const int status = xmlTextReaderRead(reader_);
        if (status == 0)
            return Node::Finished;
        if (status < 0)
            break;
        switch (xmlTextReaderNodeType(reader_)) {
        case XML_READER_TYPE_ELEMENT:
            pendingEnd_ = xmlTextReaderIsEmptyElement(reader_) == 1;
            return Node::Start;
        case XML_READER_TYPE_END_ELEMENT:
            return Node::End;
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_WHITESPACE:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
            return Node::Text;
        case XML_READER_TYPE_DOCUMENT_TYPE:
        case XML_READER_TYPE_ENTITY_REFERENCE:
            problem_ = QStringLiteral("a part declares a document type, which workbooks never do");
            break;
        default:
            break;  // comments, processing instructions
        }
    }
    if (problem_.isEmpty())
        problem_ = QStringLiteral("malformed XML");
    return Node::Failed;
}

std::string_view XmlPart::name() const
{
    return view(xmlTextReaderConstLocalName(reader_));
}

std::string_view XmlPart::namespaceUri() const
{
    return view(xmlTextReaderConstNamespaceUri(reader_));
}

std::optional<std::string_view> XmlPart::attribute(std::string_view local, std::string_view uri) const
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

std::string_view XmlPart::text() const
{
    return view(xmlTextReaderConstValue(reader_));
}

ReadOutcome readPart(const ZipArchive &zip, std::string_view path, const NodeVisitor &visit)
{
    ReadOutcome outcome;
    const CheckedPart part = zip.checked(path);
    if (!part.problem.isEmpty()) {
        outcome.error = ReadError::Damaged;
        outcome.message = part.problem;
        return outcome;
    }
    XmlPart xml(part.entry);
    for (XmlPart::Node node = xml.next(); node != XmlPart::Node::Finished; node = xml.next()) {
        if (node == XmlPart::Node::Failed) {
            outcome.error = ReadError::Damaged;
            outcome.message = QStringLiteral("%1: %2").arg(QString::fromUtf8(path.data(), qsizetype(path.size())),
                                                          xml.problem());
            break;
        }
        if (!visit(xml, node))
            break;
    }
    return outcome;
}

}  // namespace spreadsheet::package
