#include "spreadsheet/text/TextEncoding.h"

namespace spreadsheet {

namespace {

// Validation works through the bytes in slices, so that judging a large file
// never holds more than one slice of decoded text.
constexpr qsizetype kSlice = 64 * 1024;

}  // namespace

std::optional<DetectedEncoding> encodingFromBom(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return DetectedEncoding{TextEncoding::Utf8, 3};
    if (bytes.startsWith("\xFF\xFE"))
        return DetectedEncoding{TextEncoding::Utf16LE, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return DetectedEncoding{TextEncoding::Utf16BE, 2};
    return std::nullopt;
}

DetectedEncoding detectEncoding(QByteArrayView bytes)
{
    if (const std::optional<DetectedEncoding> bom = encodingFromBom(bytes))
        return *bom;
    return {isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1254, 0};
}

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    for (qsizetype at = 0; at < bytes.size() && !decoder.hasError(); at += kSlice)
        (void)QString(decoder.decode(bytes.sliced(at, qMin(kSlice, bytes.size() - at))));
    return !decoder.hasError();
}

QStringDecoder decoderFor(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringDecoder(QStringConverter::Utf8);
    case TextEncoding::Utf16LE:
        return QStringDecoder(QStringConverter::Utf16LE);
    case TextEncoding::Utf16BE:
        return QStringDecoder(QStringConverter::Utf16BE);
    case TextEncoding::Windows1254:
        break;
    }
    QStringDecoder turkish("windows-1254");
    return turkish.isValid() ? std::move(turkish) : QStringDecoder(QStringConverter::System);
}

}  // namespace spreadsheet
