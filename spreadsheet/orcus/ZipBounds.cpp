#include "spreadsheet/orcus/ZipBounds.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <vector>

namespace spreadsheet::orcusimport {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr qsizetype kLocalSize = 30;
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

// Whether `data` inflates to exactly `expanded` bytes with checksum `crc`,
// expanded piece by piece so that nothing of its size is ever held.
bool inflatesAsDeclared(QByteArrayView data, std::uint64_t expanded, std::uint32_t crc)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::array<Bytef, 64 * 1024> piece;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    stream.avail_in = uInt(data.size());
    uLong sum = crc32(0, nullptr, 0);
    std::uint64_t produced = 0;
    int status = Z_OK;
    while (status == Z_OK && produced <= expanded) {
        stream.next_out = piece.data();
        stream.avail_out = uInt(piece.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const uInt got = uInt(piece.size()) - stream.avail_out;
        sum = crc32(sum, piece.data(), got);
        produced += got;
        if (status == Z_OK && got == 0 && stream.avail_in == 0)
            break;  // the data ends before the stream does
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END && produced == expanded && sum == crc;
}

// Why the data of the part whose directory entry starts at `entry` cannot be
// expanded as its entry declares; empty when it can.
QString partProblem(QByteArrayView archive, qsizetype entry)
{
    const auto local = qsizetype(u32(archive, entry + 42));
    if (local + kLocalSize > archive.size() || u32(archive, local) != kLocalSignature)
        return QStringLiteral("a part of the zip archive is not where its directory says");
    const qsizetype begin = local + kLocalSize + u16(archive, local + 26) + u16(archive, local + 28);
    const std::uint32_t method = u16(archive, entry + 10);
    const std::uint32_t crc = u32(archive, entry + 16);
    const qsizetype compressed = u32(archive, entry + 20);
    const std::uint64_t expanded = u32(archive, entry + 24);
    if (begin + compressed > archive.size())
        return QStringLiteral("a part of the zip archive is cut off");
    const QByteArrayView data = archive.sliced(begin, compressed);
    if (method == 0 && std::uint64_t(compressed) == expanded
        && crc32(0, reinterpret_cast<const Bytef *>(data.data()), uInt(data.size())) == crc)
        return {};
    if (method == 8 && inflatesAsDeclared(data, expanded, crc))
        return {};
    return QStringLiteral("a part of the zip archive is damaged");
}

}  // namespace

QString zipBoundsProblem(QByteArrayView archive, const ZipLimits &limits)
{
    const qsizetype end = lastEndRecord(archive);
    if (end < 0 || end + kEndSize > archive.size())
        return QStringLiteral("the zip archive has no central directory at its end");

    std::uint64_t total = 0;
    std::vector<qsizetype> entries;
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
        entries.push_back(at);
        at += kEntrySize + u16(archive, at + 28) + u16(archive, at + 30) + u16(archive, at + 32);
    }
    // Only now that every declaration is within bounds is any part expanded.
    for (const qsizetype entry : entries) {
        if (QString problem = partProblem(archive, entry); !problem.isEmpty())
            return problem;
    }
    return {};
}

}  // namespace spreadsheet::orcusimport
