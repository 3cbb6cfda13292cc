#include "spreadsheet/package/ZipArchive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace spreadsheet::package {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr qsizetype kLocalSize = 30;
constexpr qsizetype kEndSize = 22;
constexpr qsizetype kEntrySize = 46;
// The end record plus the longest comment it can carry.
constexpr qsizetype kEndSearch = kEndSize + 0xFFFF;

std::uint32_t u16(QByteArrayView bytes, qsizetype at)
{
    return std::uint8_t(bytes[at]) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8;
}

std::uint32_t u32(QByteArrayView bytes, qsizetype at)
{
    return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

// Offset of the last end-of-directory record within reach of the end, or -1.
qsizetype lastEndRecord(QByteArrayView archive)
{
    const qsizetype first = std::max<qsizetype>(0, archive.size() - kEndSearch);
    for (qsizetype at = archive.size() - kEndSize; at >= first; --at) {
        if (u32(archive, at) == kEndSignature)
            return at;
    }
    return -1;
}

}  // namespace

PartInflater::PartInflater(const ZipEntry &entry) : entry_(entry), crc_(std::uint32_t(crc32(0, nullptr, 0)))
{
    if (entry_.deflated) {
        ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
        stream_.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(entry_.data.data()));
        stream_.avail_in = uInt(entry_.data.size());
    }
}

PartInflater::~PartInflater()
{
    if (ready_)
        inflateEnd(&stream_);
}

int PartInflater::read(char *out, int capacity)
{
    if (ended_ || capacity <= 0)
        return 0;
    int got = 0;
    if (!entry_.deflated) {
        got = int(std::min<std::uint64_t>(std::uint64_t(capacity), entry_.data.size() - produced_));
        std::memcpy(out, entry_.data.data() + produced_, std::size_t(got));
        ended_ = got == 0;
    } else {
        if (!ready_)
            return -1;
        stream_.next_out = reinterpret_cast<Bytef *>(out);
        stream_.avail_out = uInt(capacity);
        const int status = inflate(&stream_, Z_NO_FLUSH);
        got = capacity - int(stream_.avail_out);
        if (status == Z_STREAM_END)
            ended_ = true;
        else if (status != Z_OK || (got == 0 && stream_.avail_in == 0))
            return -1;  // damaged, or the data stops before the stream ends
    }
    produced_ += std::uint64_t(got);
    if (produced_ > entry_.size)
        return -1;
    crc_ = std::uint32_t(crc32(crc_, reinterpret_cast<const Bytef *>(out), uInt(got)));
    return got;
}

ZipArchive::ZipArchive(QByteArrayView archive, const ZipLimits &limits) : archive_(archive)
{
    const qsizetype end = lastEndRecord(archive);
    if (end < 0) {
        problem_ = QStringLiteral("the zip archive has no central directory at its end");
        return;
    }
    std::uint64_t total = 0;
    qsizetype at = qsizetype(u32(archive, end + 16));
    for (std::uint32_t count = u16(archive, end + 10); count > 0; --count) {
        if (at + kEntrySize > archive.size() || u32(archive, at) != kEntrySignature) {
            problem_ = QStringLiteral("the zip archive's central directory is cut off");
            return;
        }
        const std::uint64_t compressed = u32(archive, at + 20);
        const std::uint64_t expanded = u32(archive, at + 24);
        const qsizetype nameSize = u16(archive, at + 28);
        const qsizetype next = at + kEntrySize + nameSize + u16(archive, at + 30) + u16(archive, at + 32);
        if (next > archive.size() || compressed > std::uint64_t(archive.size())) {
            problem_ = QStringLiteral("a part of the zip archive claims more bytes than the file has");
            return;
        }
        if (expanded > compressed * limits.ratio) {
            problem_ = QStringLiteral("a part of the zip archive would expand more than %1 times").arg(limits.ratio);
            return;
        }
        total += expanded;
        if (total > limits.totalBytes) {
            problem_ = QStringLiteral("the parts of the zip archive would expand past %1 MB")
                           .arg(limits.totalBytes / (1024 * 1024));
            return;
        }
        if (!entries_.emplace(std::string(archive.data() + at + kEntrySize, std::size_t(nameSize)), at).second) {
            problem_ = QStringLiteral("the zip archive names a part twice");
            return;
        }
        at = next;
    }
}

CheckedPart ZipArchive::checked(std::string_view name) const
{
    const auto found = entries_.find(name);
    if (found == entries_.end())
        return {{}, QStringLiteral("the part %1 is missing").arg(QString::fromUtf8(name.data(), qsizetype(name.size())))};
    const qsizetype entry = found->second;
    const auto local = qsizetype(u32(archive_, entry + 42));
    if (local + kLocalSize > archive_.size() || u32(archive_, local) != kLocalSignature)
        return {{}, QStringLiteral("a part of the zip archive is not where its directory says")};
    const qsizetype begin = local + kLocalSize + u16(archive_, local + 26) + u16(archive_, local + 28);
    const qsizetype compressed = u32(archive_, entry + 20);
    const std::uint32_t method = u16(archive_, entry + 10);
    if (begin + compressed > archive_.size())
        return {{}, QStringLiteral("a part of the zip archive is cut off")};
    const ZipEntry part{archive_.sliced(begin, compressed), method == 8, u32(archive_, entry + 24),
                        u32(archive_, entry + 16)};
    if (method != 0 && method != 8)
        return {{}, QStringLiteral("a part of the zip archive is compressed in a way this reader does not know")};

    PartInflater inflater(part);
    std::array<char, 64 * 1024> piece;
    int got = 0;
    while ((got = inflater.read(piece.data(), int(piece.size()))) > 0) {}
    if (got < 0 || !inflater.matchesEntry())
        return {{}, QStringLiteral("a part of the zip archive is damaged")};
    return {part, {}};
}

}  // namespace spreadsheet::package
