#include "platform/xml/FileEncoding.h"

#include "platform/codepage/SingleByteCodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace xml {

namespace {

enum class Support {
    Unicode,      // a UTF encoding the parser reads and writes itself
    Turkish,      // Windows-1254, through our own table, with or without ICU
    Converted,    // an encoding Qt converts
    Unsupported,  // an encoding Qt cannot convert
};

std::optional<QStringConverter::Encoding> builtIn(const QString &name)
{
    return QStringConverter::encodingForName(name.toLatin1().constData());
}

Support supportFor(const QString &name)
{
    if (name.isEmpty())
        return Support::Unicode;  // a file without a declared encoding is UTF-8
    const std::optional<QStringConverter::Encoding> encoding = builtIn(name);
    // Qt's name for the machine's locale is no encoding a file can declare.
    if (encoding == QStringConverter::System)
        return Support::Unsupported;
    if (encoding && encoding != QStringConverter::Latin1)
        return Support::Unicode;
    if (codepage::namesWindows1254(name))
        return Support::Turkish;
    return QStringDecoder(name.toLatin1().constData()).isValid() ? Support::Converted : Support::Unsupported;
}

// A plain UTF-16 or UTF-32 file opens with a byte-order mark; it is written
// little-endian, as on Windows.
QStringEncoder encoderFor(const QString &name)
{
    const std::optional<QStringConverter::Encoding> encoding = builtIn(name);
    if (encoding == QStringConverter::Utf16)
        return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    if (encoding == QStringConverter::Utf32)
        return QStringEncoder(QStringConverter::Utf32LE, QStringConverter::Flag::WriteBom);
    return QStringEncoder(name.toLatin1().constData());
}

// The first character of `text` that the encoding `name` cannot hold.
QString firstUnencodable(const QString &text, const QString &name)
{
    QStringEncoder encoder = encoderFor(name);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray ignored = encoder.encode(QStringView(text).mid(i, length));
        if (encoder.hasError())
            return text.mid(i, length);
        i += length;
    }
    return {};
}

// The encoding named by the declaration that opens `bytes`. A file in an
// 8-bit encoding writes its declaration in ASCII, so it reads as UTF-8.
QString encodingDeclaredIn(const QByteArray &bytes)
{
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    pugi::xml_document declaration;
    declaration.load_buffer(bytes.constData(), size_t(end) + 2, pugi::parse_declaration, pugi::encoding_utf8);
    return declaredEncoding(declaration);
}

ParserInput refused(LoadResult::Status status, const QString &description)
{
    return {{}, pugi::encoding_auto, {status, description}};
}

FileContent failed(const QString &detail)
{
    return platform::Outcome::failure(QStringLiteral("belge dosyanın kodlamasıyla yazılamıyor"), detail);
}

FileContent cannotHold(const QString &encodingName, const QString &character)
{
    return failed(QStringLiteral("the encoding \"%1\" cannot hold the character \"%2\"").arg(encodingName, character));
}

FileContent inWindows1254(const QString &text, const QString &encodingName)
{
    qsizetype failedAt = 0;
    std::optional<QByteArray> bytes = codepage::SingleByteCodePage::windows1254().encode(text, &failedAt);
    if (!bytes) {
        const bool pair = text.at(failedAt).isHighSurrogate() && failedAt + 1 < text.size();
        return cannotHold(encodingName, text.mid(failedAt, pair ? 2 : 1));
    }
    return *std::move(bytes);
}

}  // namespace

QString declaredEncoding(const pugi::xml_document &doc)
{
    const pugi::xml_node declaration = doc.first_child();
    if (declaration.type() != pugi::node_declaration)
        return {};
    return QString::fromUtf8(declaration.attribute("encoding").value());
}

ParserInput parserInput(const QByteArray &fileBytes)
{
    // A byte-order mark, or "<" written in UTF-16 or UTF-32, decides before
    // any declaration can be read.
    if (QStringConverter::encodingForData(fileBytes, u'<'))
        return {fileBytes, pugi::encoding_auto, {}};
    const QString name = encodingDeclaredIn(fileBytes);
    const Support support = supportFor(name);
    switch (support) {
    case Support::Unicode:
        return {fileBytes, pugi::encoding_auto, {}};
    case Support::Unsupported:
        return refused(LoadResult::UnknownEncoding,
                       QStringLiteral("the file declares the encoding \"%1\", which cannot be converted").arg(name));
    case Support::Turkish:
    case Support::Converted:
        break;
    }
    bool invalid = false;
    QString text;
    if (support == Support::Turkish) {
        text = codepage::SingleByteCodePage::windows1254().decode(fileBytes, &invalid);
    } else {
        QStringDecoder decoder(name.toLatin1().constData());
        text = decoder.decode(fileBytes);
        invalid = decoder.hasError();
    }
    if (invalid)
        return refused(LoadResult::InvalidBytes,
                       QStringLiteral("the file holds bytes that are not valid in its encoding \"%1\"").arg(name));
    return {text.toUtf8(), pugi::encoding_utf8, {}};
}

FileContent fileContent(const QByteArray &utf8Markup, const QString &encodingName)
{
    if (encodingName.isEmpty() || builtIn(encodingName) == QStringConverter::Utf8)
        return utf8Markup;  // as the parser holds it
    if (supportFor(encodingName) == Support::Unsupported)
        return failed(QStringLiteral("the document declares the encoding \"%1\", which cannot be converted")
                          .arg(encodingName));
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(utf8Markup);
    if (decoder.hasError())
        return failed(QStringLiteral("the document holds text that is not valid UTF-8"));
    if (supportFor(encodingName) == Support::Turkish)
        return inWindows1254(text, encodingName);
    QStringEncoder encoder = encoderFor(encodingName);
    QByteArray bytes = encoder.encode(text);
    // Qt's converters (its own and ICU's) report a character they had to
    // replace instead of writing it.
    if (encoder.hasError())
        return cannotHold(encodingName, firstUnencodable(text, encodingName));
    return bytes;
}

}  // namespace xml
