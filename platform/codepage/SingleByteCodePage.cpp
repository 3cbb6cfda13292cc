#include "platform/codepage/SingleByteCodePage.h"

#include <algorithm>

namespace codepage {

namespace {

constexpr char16_t kUndefined = 0xFFFD;

// Bytes 0x80-0xFF of Windows-1252; 0xA0-0xFF agree with Latin-1.
constexpr SingleByteCodePage::UpperHalf kWindows1252 = {
    0x20AC, kUndefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
    kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

constexpr SingleByteCodePage::UpperHalf kWindows1254 = [] {
    SingleByteCodePage::UpperHalf table = kWindows1252;
    table[0x8E - 0x80] = kUndefined;
    table[0x9E - 0x80] = kUndefined;
    table[0xD0 - 0x80] = 0x011E;  // Ğ
    table[0xDD - 0x80] = 0x0130;  // İ
    table[0xDE - 0x80] = 0x015E;  // Ş
    table[0xF0 - 0x80] = 0x011F;  // ğ
    table[0xFD - 0x80] = 0x0131;  // ı
    table[0xFE - 0x80] = 0x015F;  // ş
    return table;
}();

}  // namespace

const SingleByteCodePage &SingleByteCodePage::windows1252()
{
    static const SingleByteCodePage page(kWindows1252);
    return page;
}

const SingleByteCodePage &SingleByteCodePage::windows1254()
{
    static const SingleByteCodePage page(kWindows1254);
    return page;
}

char16_t SingleByteCodePage::character(std::uint8_t byte) const
{
    return byte < 0x80 ? char16_t(byte) : upperHalf_[byte - 0x80];
}

QString SingleByteCodePage::decode(QByteArrayView bytes, bool *undefined) const
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *next = out.data();
    bool anyUndefined = false;
    for (const char byte : bytes) {
        const char16_t c = character(std::uint8_t(byte));
        anyUndefined = anyUndefined || c == kUndefined;
        *next++ = QChar(c);
    }
    if (undefined)
        *undefined = anyUndefined;
    return out;
}

std::optional<QByteArray> SingleByteCodePage::encode(QStringView text, qsizetype *failedAt) const
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out[i] = char(c);
            continue;
        }
        const auto found = std::find(upperHalf_.begin(), upperHalf_.end(), c);
        if (c == kUndefined || found == upperHalf_.end()) {
            if (failedAt)
                *failedAt = i;
            return std::nullopt;
        }
        out[i] = char(0x80 + (found - upperHalf_.begin()));
    }
    return out;
}

bool namesWindows1254(QStringView name)
{
    return name.compare(u"windows-1254", Qt::CaseInsensitive) == 0 ||
           name.compare(u"cp1254", Qt::CaseInsensitive) == 0 || name.compare(u"x-cp1254", Qt::CaseInsensitive) == 0;
}

}  // namespace codepage
