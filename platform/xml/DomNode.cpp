#include "platform/xml/DomNode.h"

#include "platform/xml/FileEncoding.h"

#include <QFile>
#include <QSaveFile>

namespace xml {

namespace {

class ByteWriter final : public pugi::xml_writer {
public:
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
    QByteArray bytes;
};

// The node and everything inside it as UTF-8 markup, without added
// indentation, line breaks or declaration: whitespace was dropped at load,
// and indenting a deeply nested document would grow it with the square of
// its depth.
QByteArray markup(const pugi::xml_node &node)
{
    ByteWriter writer;
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

constexpr unsigned parseOptions = pugi::parse_full;

// Value of a numeric reference body ("#65" or "#x41"), or 0 when it is not
// one or names no valid XML character.
char32_t numericReference(QStringView body)
{
    if (body.size() < 2 || body.front() != u'#')
        return 0;
    const bool hex = body.at(1) == u'x';
    const QStringView digits = body.mid(hex ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 8)
        return 0;
    bool ok = false;
    const uint value = digits.toUInt(&ok, hex ? 16 : 10);
    const bool allowed = value == 0x9 || value == 0xA || value == 0xD
                         || (value >= 0x20 && value <= 0xD7FF) || (value >= 0xE000 && value <= 0xFFFD)
                         || (value >= 0x10000 && value <= 0x10FFFF);
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        const bool digit = (u >= u'0' && u <= u'9')
                           || (hex && ((u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')));
        if (!digit)
            return 0;
    }
    return ok && allowed ? char32_t(value) : 0;
}

QString entityText(QStringView body)
{
    if (body == u"amp") return QStringLiteral("&");
    if (body == u"lt") return QStringLiteral("<");
    if (body == u"gt") return QStringLiteral(">");
    if (body == u"quot") return QStringLiteral("\"");
    if (body == u"apos") return QStringLiteral("'");
    if (const char32_t c = numericReference(body))
        return QString::fromUcs4(&c, 1);
    return {};
}

}  // namespace

LoadResult loadFile(pugi::xml_document &doc, const QString &path)
{
    doc.reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {LoadResult::Unreadable, file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {LoadResult::Unreadable, file.errorString()};
    return loadBytes(doc, bytes);
}

LoadResult loadBytes(pugi::xml_document &doc, const QByteArray &fileBytes)
{
    doc.reset();
    const ParserInput input = parserInput(fileBytes);
    if (!input.result)
        return input.result;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(input.bytes.constData(), size_t(input.bytes.size()), parseOptions, input.encoding);
    if (parsed)
        return {};
    doc.reset();  // the parser keeps what it read before the fault; a failed load shows nothing
    return {LoadResult::Malformed,
            QStringLiteral("%1 (offset %2)").arg(QString::fromUtf8(parsed.description())).arg(parsed.offset)};
}

platform::Outcome saveFile(const pugi::xml_document &doc, const QString &path)
{
    const FileContent content = fileContent(markup(doc), declaredEncoding(doc));
    if (!content.ok())
        return content;
    const auto unwritten = [&path](const QSaveFile &file) {
        return platform::Outcome::failure(QStringLiteral("%1 yazılamadı").arg(path), file.errorString());
    };
    // Unbuffered, so that a failed write shows in what write() returns: a
    // buffered one could fail only in the flush inside commit(), which then
    // still replaces the file with what was written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return unwritten(file);
    if (file.write(content.value) != content.value.size())
        return unwritten(file);  // the temporary file goes with `file`, uncommitted
    if (!file.commit())
        return unwritten(file);
    return {};
}

QString outerXml(const pugi::xml_node &node)
{
    return node ? QString::fromUtf8(markup(node)) : QString();
}

QString nodeText(const pugi::xml_node &node)
{
    std::string text;
    preOrder(node, [&text](const pugi::xml_node &current) {
        if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata)
            text += current.value();
        return true;
    });
    return QString::fromUtf8(text);
}

void setNodeText(pugi::xml_node node, const QString &text)
{
    if (!node)
        return;
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        node.set_value(text.toUtf8().constData());
        return;
    }
    node.remove_children();
    if (!text.isEmpty())
        node.append_child(pugi::node_pcdata).set_value(text.toUtf8().constData());
}

QString decodeCharacterReferences(const QString &text)
{
    QString result;
    result.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype amp = text.indexOf(u'&', pos);
        if (amp < 0) {
            result += QStringView(text).mid(pos);
            break;
        }
        result += QStringView(text).mid(pos, amp - pos);
        const qsizetype semi = text.indexOf(u';', amp + 1);
        const QString decoded = semi > amp + 1 && semi - amp <= 12
                                    ? entityText(QStringView(text).mid(amp + 1, semi - amp - 1))
                                    : QString();
        if (decoded.isEmpty()) {
            result += u'&';
            pos = amp + 1;
        } else {
            result += decoded;
            pos = semi + 1;
        }
    }
    return result;
}

}  // namespace xml
