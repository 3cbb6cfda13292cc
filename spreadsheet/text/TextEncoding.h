#pragma once
// How the readers of text formats (CSV, HTML) turn a file's bytes into text:
// a byte-order mark decides; without one, UTF-8 when the bytes are UTF-8
// (but for a few stray bytes), else Windows-1254, the Turkish code page of
// older Windows programs.

#include <QByteArrayView>
#include <QStringDecoder>

#include <optional>
#include <vector>

namespace spreadsheet {

enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1254 };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    qsizetype bomLength = 0;  // bytes of byte-order mark before the text
    // UTF-8 read in spite of bytes that belong to no UTF-8 character (each
    // decodes as U+FFFD): how many, and the first lines (1-based) holding them.
    qsizetype strayBytes = 0;
    std::vector<qsizetype> strayLines;
};

// The most lines DetectedEncoding::strayLines names.
constexpr std::size_t kStrayLinesNamed = 10;

// The encoding named by a UTF-8 or UTF-16 (LE, BE) byte-order mark at the
// start of the bytes; nullopt when they start with none.
std::optional<DetectedEncoding> encodingFromBom(QByteArrayView bytes);

// The byte-order mark's encoding, else UTF-8 when the bytes are valid UTF-8
// or nearly so (see strayBytes), else Windows-1254. Empty bytes are UTF-8.
DetectedEncoding detectEncoding(QByteArrayView bytes);

// Turns a file's bytes into text piece by piece: a character cut between two
// pieces is finished by the next. UTF-8 and UTF-16 are Qt's own converters,
// Windows-1254 is our own table, so no encoding depends on ICU.
class TextDecoder {
public:
    explicit TextDecoder(TextEncoding encoding);

    // The text of the next piece; bytes not valid in the encoding read as U+FFFD.
    QString decode(QByteArrayView bytes);
    // True once a byte not valid in the encoding was met.
    bool hasError() const;

private:
    std::optional<QStringDecoder> unicode_;  // empty for Windows-1254
    bool undefinedByte_ = false;
};

}  // namespace spreadsheet
