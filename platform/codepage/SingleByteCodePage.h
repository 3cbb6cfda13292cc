#pragma once
// Windows code pages of one byte per character, built in so that text reads
// and writes the same on every platform, also where Qt was built without
// ICU's converters (official Qt builds for Windows may lack them).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace codepage {

class SingleByteCodePage {
public:
    // Windows-1252, Western European.
    static const SingleByteCodePage &windows1252();
    // Windows-1254, Turkish: Windows-1252 with Ğ İ Ş ğ ı ş in place of six
    // Icelandic letters and Ž ž left undefined.
    static const SingleByteCodePage &windows1254();

    // The character `byte` stands for; U+FFFD for a byte the page leaves
    // undefined. Bytes below 0x80 are ASCII.
    char16_t character(std::uint8_t byte) const;
    // `bytes` as text, a byte the page leaves undefined as U+FFFD; sets
    // *undefined (when given) to whether there was any.
    QString decode(QByteArrayView bytes, bool *undefined = nullptr) const;
    // `text` in this page; nullopt when one of its characters has no byte
    // here, with that character's position in *failedAt (when given).
    std::optional<QByteArray> encode(QStringView text, qsizetype *failedAt = nullptr) const;

    using UpperHalf = std::array<char16_t, 128>;

private:
    explicit SingleByteCodePage(const UpperHalf &upperHalf) : upperHalf_(upperHalf) {}

    const UpperHalf &upperHalf_;  // the characters of bytes 0x80-0xFF
};

// True for the names an XML declaration or a program gives Windows-1254:
// "windows-1254", "cp1254" and "x-cp1254", in any case.
bool namesWindows1254(QStringView name);

}  // namespace codepage
