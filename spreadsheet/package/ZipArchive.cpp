#include "spreadsheet/package/ZipArchive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace spreadsheet::package {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint32_t kZip64Marker = 0xFFFFFFFF;
constexpr qsizetype kLocalSize = 30;
constexpr qsizetype kEndSize = 22;
constexpr qsizetype kZip64EndSize = 56;
constexpr qsizetype kZip64LocatorSize = 20;
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

std::uint64_t u64(QByteArrayView bytes, qsizetype at)
{
    return u32(bytes, at) | std::uint64_t(u32(bytes, at + 4)) << 32;
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

// Where the central directory starts and how many entries it has: from the
// end record at `end`, or from the Zip64 end record its locator points at.
struct Directory {
    std::uint64_t offset = 0, count = 0;
    bool found = false;
};

Directory directoryOf(QByteArrayView archive, qsizetype end)
{
    const qsizetype locator = end - kZip64LocatorSize;
    if (locator < 0 || u32(archive, locator) != kZip64LocatorSignature)
        return {u32(archive, end + 16), u16(archive, end + 10), true};
    const std::uint64_t record = u64(archive, locator + 8);
    if (record > std::uint64_t(locator) || std::uint64_t(locator) - record < std::uint64_t(kZip64EndSize)
        || u32(archive, qsizetype(record)) != kZip64EndSignature)
        return {};
    return {u64(archive, qsizetype(record) + 48), u64(archive, qsizetype(record) + 32), true};
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

QString damagedPartProblem()
{
    return QStringLiteral("a part of the zip archive is damaged");
}

int PartInflater::read(char *out, int capacity)
{
    if (damaged_)
        return -1;
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
        else if (status != Z_OK || (got == 0 && stream_.avail_in == 0)) {
            damaged_ = true;  // damaged, or the data stops before the stream ends
            return -1;
        }
    }
    produced_ += std::uint64_t(got);
    if (produced_ > entry_.size) {
        damaged_ = true;
        return -1;
    }
    crc_ = std::uint32_t(crc32(crc_, reinterpret_cast<const Bytef *>(out), uInt(got)));
    return got;
}

ZipArchive::ZipArchive(QByteArrayView archive, const ZipLimits &limits) : archive_(archive), limits_(limits)
{
    const qsizetype end = lastEndRecord(archive);
    if (end < 0) {
        problem_ = QStringLiteral("the zip archive has no central directory at its end");
        return;
    }
    const Directory directory = directoryOf(archive, end);
    if (!directory.found || directory.offset > std::uint64_t(archive.size())) {
        problem_ = QStringLiteral("the zip archive's Zip64 directory record is cut off");
        return;
    }
    std::uint64_t total = 0;
    auto at = qsizetype(directory.offset);
    for (std::uint64_t count = directory.count; count > 0 && problem_.isEmpty(); --count) {
        if (!readEntry(at, total) && problem_.isEmpty())
            problem_ = QStringLiteral("the zip archive's central directory is cut off");
    }
}

bool ZipArchive::readEntry(qsizetype &at, std::uint64_t &total)
{
    if (at + kEntrySize > archive_.size() || u32(archive_, at) != kEntrySignature)
        return false;
    DirectoryEntry entry{u32(archive_, at + 20), u32(archive_, at + 24), u32(archive_, at + 42),
                         u32(archive_, at + 16), u16(archive_, at + 10)};
    const qsizetype nameSize = u16(archive_, at + 28);
    const qsizetype extra = at + kEntrySize + nameSize;
    const qsizetype extraEnd = extra + u16(archive_, at + 30);
    const qsizetype next = extraEnd + u16(archive_, at + 32);
    if (next > archive_.size())
        return false;
    // A Zip64 field holds, in this order, each size or offset whose classic field is all ones.
    for (qsizetype field = extra; field + 4 <= extraEnd; field += 4 + u16(archive_, field + 2)) {
        if (u16(archive_, field) != kZip64ExtraId)
            continue;
        qsizetype value = field + 4;
        const qsizetype valuesEnd = std::min(value + qsizetype(u16(archive_, field + 2)), extraEnd);
        for (std::uint64_t *slot : {&entry.expanded, &entry.compressed, &entry.local}) {
            if (*slot != kZip64Marker)
                continue;
            if (value + 8 > valuesEnd)
                return false;
            *slot = u64(archive_, value);
            value += 8;
        }
        break;
    }
    if (entry.compressed > std::uint64_t(archive_.size()) || entry.local > std::uint64_t(archive_.size())) {
        problem_ = QStringLiteral("a part of the zip archive claims more bytes than the file has");
        return false;
    }
    // Each size is bounded before it is added, so that the sum cannot wrap.
    if (entry.expanded > limits_.totalBytes || (total += entry.expanded) > limits_.totalBytes) {
        problem_ = QStringLiteral("the parts of the zip archive would expand past %1 MB")
                       .arg(limits_.totalBytes / (1024 * 1024));
        return false;
    }
    if (!entries_.emplace(folded(std::string_view(archive_.data() + at + kEntrySize, std::size_t(nameSize))), entry)
             .second) {
        problem_ = QStringLiteral("the zip archive names a part twice");
        return false;
    }
    at = next;
    return true;
}

std::string ZipArchive::folded(std::string_view name)
{
    std::string lower(name);
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return lower;
}

bool PartInflater::expandsAsDeclared()
{
    std::array<char, 64 * 1024> piece;
    int got = 0;
    while ((got = read(piece.data(), int(piece.size()))) > 0) {}
    return got == 0 && matchesEntry();
}

CheckedPart ZipArchive::located(std::string_view name) const
{
    const auto found = entries_.find(folded(name));
    if (found == entries_.end())
        return {{}, QStringLiteral("the part %1 is missing").arg(QString::fromUtf8(name.data(), qsizetype(name.size())))};
    const DirectoryEntry &entry = found->second;
    if (entry.expanded > entry.compressed * limits_.ratio)
        return {{}, QStringLiteral("a part of the zip archive would expand more than %1 times").arg(limits_.ratio)};
    const auto local = qsizetype(entry.local);
    if (local + kLocalSize > archive_.size() || u32(archive_, local) != kLocalSignature)
        return {{}, QStringLiteral("a part of the zip archive is not where its directory says")};
    const qsizetype begin = local + kLocalSize + u16(archive_, local + 26) + u16(archive_, local + 28);
    const auto compressed = qsizetype(entry.compressed);
    if (begin + compressed > archive_.size())
        return {{}, QStringLiteral("a part of the zip archive is cut off")};
    if (entry.method != 0 && entry.method != 8)
        return {{}, QStringLiteral("a part of the zip archive is compressed in a way this reader does not know")};
    return {{archive_.sliced(begin, compressed), entry.method == 8, entry.expanded, entry.crc}, {}};
}

CheckedPart ZipArchive::checked(std::string_view name) const
{
    CheckedPart part = located(name);
    if (part.problem.isEmpty() && !PartInflater(part.entry).expandsAsDeclared())
        return {{}, damagedPartProblem()};
    return part;
}

}  // namespace spreadsheet::package
