#include "spreadsheet/orcus/ZipBounds.h"

#include <algorithm>

namespace spreadsheet::orcusimport {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr qsizetype kEndSize = 22;
constexpr qsizetype kEntrySize = 46;
// The end record plus the longest comment: as far back as the library looks.
constexpr qsizetype kEndSearch = kEndSize + 0xFFFF;

std::uint32_t u16(QByteArrayView bytes, qsizetype at)
{
    return std::uint8_t(bytes[at]) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8;
}

std::uint32_t u32(QByteArrayView bytes, qsizetype at)
{
    return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

// Offset of the last end-of-directory signature within reach of the end, or -1.
qsizetype lastEndRecord(QByteArrayView archive)
{
    const qsizetype first = std::max<qsizetype>(0, archive.size() - kEndSearch);
    for (qsizetype at = archive.size() - 4; at >= first; --at) {
        if (u32(archive, at) == kEndSignature)
            return at;
    }
    return -1;
}

}  // namespace

QString zipBoundsProblem(QByteArrayView archive, const ZipLimits &limits)
{
    const qsizetype end = lastEndRecord(archive);
    if (end < 0 || end + kEndSize > archive.size())
        return QStringLiteral("the zip archive has no central directory at its end");

    std::uint64_t total = 0;
    qsizetype at = qsizetype(u32(archive, end + 16));
    while (at >= 0 && at + 4 <= archive.size() && u32(archive, at) == kEntrySignature) {
        if (at + kEntrySize > archive.size())
            return QStringLiteral("the zip archive's central directory is cut off");
        const std::uint64_t compressed = u32(archive, at + 20);
        const std::uint64_t expanded = u32(archive, at + 24);
        if (compressed > std::uint64_t(archive.size()))
            return QStringLiteral("a part of the zip archive claims more bytes than the file has");
        if (expanded > compressed * limits.ratio)
            return QStringLiteral("a part of the zip archive would expand more than %1 times").arg(limits.ratio);
        total += expanded;
        if (total > limits.totalBytes)
            return QStringLiteral("the parts of the zip archive would expand past %1 MB")
                .arg(limits.totalBytes / (1024 * 1024));
        at += kEntrySize + u16(archive, at + 28) + u16(archive, at + 30) + u16(archive, at + 32);
    }
    return {};
}

}  // namespace spreadsheet::orcusimport
