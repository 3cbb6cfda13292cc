#pragma once
// Documents and files shared by the XML data source tests.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <pugixml.hpp>

#include <memory>

// The declaration, then r with a (text 1), b (c = 2, d = 3), a comment and
// an empty e: records r, a, b, c, d.
inline constexpr char settingsXml[] =
    "<?xml version=\"1.0\"?>\n"
    "<r>\n"
    "  <a>1</a>\n"
    "  <b><c>2</c><d>3</d></b>\n"
    "  <!-- not a record -->\n"
    "  <e/>\n"
    "</r>\n";

// A document parsed the way a file is loaded: the declaration and comments
// are nodes of their own.
inline std::shared_ptr<pugi::xml_document> documentOf(const char *text)
{
    auto doc = std::make_shared<pugi::xml_document>();
    doc->load_string(text, pugi::parse_default | pugi::parse_declaration | pugi::parse_comments);
    return doc;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
