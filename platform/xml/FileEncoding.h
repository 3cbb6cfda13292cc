#pragma once
// How the bytes of an XML file become parser input and a document becomes
// the bytes of a file again, by the encoding the file declares. Byte-order
// marks, UTF-16/32 byte patterns and the UTF encodings are left to the
// parser as before; Windows-1254 is converted here through our own table,
// whether or not Qt has ICU's converters; any other encoding Qt can convert
// (the Windows and ISO code pages among them) is converted here too, and one
// it cannot convert is refused rather than read or written as UTF-8.

#include "platform/xml/LoadResult.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

namespace xml {

// A file's bytes as the parser is to read them, or why they cannot be read.
struct ParserInput {
    QByteArray bytes;
    pugi::xml_encoding encoding = pugi::encoding_auto;
    LoadResult result;
};

// The encoding named by the XML declaration that opens `doc`; "" when there
// is no declaration or it names none.
QString declaredEncoding(const pugi::xml_document &doc);

// The parser's input for a file: the bytes unchanged when a byte-order mark,
// a UTF-16/32 byte pattern, a UTF declaration or none decides; converted to
// UTF-8 when the declaration names another encoding. Fails (no bytes) when
// Qt cannot convert that encoding or the bytes are not valid in it.
ParserInput parserInput(const QByteArray &fileBytes);

// A document written out as a file's content, or why it cannot be.
using FileContent = platform::Result<QByteArray>;

// `utf8Markup` (a document as the parser writes it) in the encoding named by
// `encodingName`: unchanged for UTF-8 or "", with a byte-order mark for a
// plain "UTF-16" or "UTF-32". Fails when Qt cannot convert that encoding,
// when the markup is not valid UTF-8 or when the encoding cannot hold one of
// its characters; nothing is ever replaced.
FileContent fileContent(const QByteArray &utf8Markup, const QString &encodingName);

}  // namespace xml
