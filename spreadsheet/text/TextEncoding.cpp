#include "spreadsheet/text/TextEncoding.h"

#include "platform/codepage/SingleByteCodePage.h"

#include <cstdint>

namespace spreadsheet {

namespace {

// A file written in UTF-8 into which a few bytes of another encoding found
// their way (a name pasted from an older program) is read as UTF-8, its
// stray bytes marked, rather than the whole file as Windows-1254. "A few" is
// at most one stray byte for every four UTF-8 characters beyond ASCII: text
// in Windows-1254 gives a stray byte for nearly every Turkish letter and
// next to no valid UTF-8 characters, and a UTF-8 file with one pasted line
// still has many more letters of its own than that line has bytes.
constexpr qsizetype kCharactersPerStrayByte = 4;

// The length of the UTF-8 character that starts at `at`, 0 when none does.
// A character cut short by the end of the bytes counts as whole.
qsizetype utf8Length(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return std::uint8_t(bytes[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    std::uint8_t low = 0x80;  // the range of the second byte; overlong forms,
    std::uint8_t high = 0xBF; // surrogates and code points past U+10FFFF are out
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    for (qsizetype i = 1; i < length; ++i) {
        if (at + i == bytes.size())
            return i;
        const std::uint8_t next = byte(at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// The bytes read as UTF-8: its characters beyond ASCII, and the bytes that
// belong to none with the lines they lie on (line ends as the CSV reader
// counts them: CRLF, LF or a lone CR).
struct Utf8Survey {
    qsizetype characters = 0;
    qsizetype strayBytes = 0;
    std::vector<qsizetype> strayLines;
};

Utf8Survey surveyUtf8(QByteArrayView bytes)
{
    Utf8Survey survey;
    qsizetype line = 1;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = utf8Length(bytes, at);
        if (length == 0) {
            ++survey.strayBytes;
            if (survey.strayLines.size() < kStrayLinesNamed &&
                (survey.strayLines.empty() || survey.strayLines.back() != line))
                survey.strayLines.push_back(line);
            ++at;
            continue;
        }
        const char c = bytes[at];
        if (c == '\n' || (c == '\r' && (at + 1 == bytes.size() || bytes[at + 1] != '\n')))
            ++line;
        survey.characters += length > 1 ? 1 : 0;
        at += length;
    }
    return survey;
}

}  // namespace

std::optional<DetectedEncoding> encodingFromBom(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return DetectedEncoding{TextEncoding::Utf8, 3, 0, {}};
    if (bytes.startsWith("\xFF\xFE"))
        return DetectedEncoding{TextEncoding::Utf16LE, 2, 0, {}};
    if (bytes.startsWith("\xFE\xFF"))
        return DetectedEncoding{TextEncoding::Utf16BE, 2, 0, {}};
    return std::nullopt;
}

DetectedEncoding detectEncoding(QByteArrayView bytes)
{
    if (const std::optional<DetectedEncoding> bom = encodingFromBom(bytes))
        return *bom;
    Utf8Survey survey = surveyUtf8(bytes);
    if (survey.strayBytes * kCharactersPerStrayByte > survey.characters)
        return {TextEncoding::Windows1254, 0, 0, {}};
    return {TextEncoding::Utf8, 0, survey.strayBytes, std::move(survey.strayLines)};
}

namespace {

std::optional<QStringDecoder> unicodeDecoder(TextEncoding encoding)
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
    return std::nullopt;
}

}  // namespace

TextDecoder::TextDecoder(TextEncoding encoding) : unicode_(unicodeDecoder(encoding)) {}

QString TextDecoder::decode(QByteArrayView bytes)
{
    if (unicode_)
        return unicode_->decode(bytes);
    bool undefined = false;
    QString text = codepage::SingleByteCodePage::windows1254().decode(bytes, &undefined);
    undefinedByte_ = undefinedByte_ || undefined;
    return text;
}

bool TextDecoder::hasError() const
{
    return unicode_ ? unicode_->hasError() : undefinedByte_;
}

}  // namespace spreadsheet
