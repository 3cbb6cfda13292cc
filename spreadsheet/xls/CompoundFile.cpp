#include "spreadsheet/xls/CompoundFile.h"

#include <algorithm>

namespace spreadsheet::xls {
namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr unsigned kMiniShift = 6;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntrySize = 128;
constexpr std::uint8_t kStreamEntry = 2;
constexpr std::uint8_t kRootEntry = 5;

// Sectors needed for `size` bytes; saturates instead of overflowing.
std::size_t sectorsFor(std::uint64_t size, unsigned shift)
{
    const std::uint64_t count = (size >> shift) + ((size & ((std::uint64_t(1) << shift) - 1)) ? 1 : 0);
    return count > SIZE_MAX ? SIZE_MAX : std::size_t(count);
}

char16_t foldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

Status corrupt(const QString &why)
{
    return Status::refusal(ReadError::Damaged, QStringLiteral("damaged compound file: %1").arg(why));
}

}  // namespace

bool CompoundFile::hasSignature(Bytes file)
{
    return file.size() >= sizeof kSignature && std::equal(std::begin(kSignature), std::end(kSignature), file.begin());
}

Status CompoundFile::open(QIODevice &device)
{
    device_ = &device;
    fileSize_ = std::uint64_t(std::max<qint64>(0, device.size()));
    header_.assign(std::size_t(std::min<std::uint64_t>(fileSize_, 512)), 0);
    if (!device.seek(0) || device.read(reinterpret_cast<char *>(header_.data()), qint64(header_.size())) != qint64(header_.size()))
        return corrupt(QStringLiteral("the file cannot be read"));
    if (Status s = readHeader(); !s.ok())
        return s;
    if (Status s = readFat(); !s.ok())
        return s;
    return readDirectory();
}

Status CompoundFile::readHeader()
{
    if (!hasSignature(header_))
        return Status::refusal(ReadError::NotSpreadsheet, QStringLiteral("not an OLE compound file"));
    if (header_.size() < 512)
        return corrupt(QStringLiteral("the file ends inside its header"));
    const std::uint16_t major = u16At(header_, 0x1A);
    sectorShift_ = u16At(header_, 0x1E);
    if (u16At(header_, 0x1C) != 0xFFFE || (sectorShift_ != 9 && sectorShift_ != 12)
        || u16At(header_, 0x20) != kMiniShift)
        return corrupt(QStringLiteral("unknown header layout"));
    version4_ = major == 4;
    miniCutoff_ = u32At(header_, 0x38);
    const std::size_t sectorSize = std::size_t(1) << sectorShift_;
    // The header fills the first sector; a short last sector still counts.
    const std::size_t sectors = fileSize_ <= sectorSize ? 0 : sectorsFor(fileSize_ - sectorSize, sectorShift_);
    if (sectors > 0xFFFFFFFAu)
        return corrupt(QStringLiteral("the file is larger than its sector numbers reach"));
    sectorCount_ = std::uint32_t(sectors);
    return {};
}

Status CompoundFile::followChain(std::uint32_t start, const std::vector<std::uint32_t> &table, std::size_t wanted,
                                 std::vector<std::uint32_t> &chain) const
{
    // `wanted` == SIZE_MAX follows the chain to its end marker.
    chain.clear();
    std::vector<bool> seen(table.size(), false);
    for (std::uint32_t sector = start; chain.size() < wanted && sector != kEndOfChain; sector = table[sector]) {
        if (sector >= table.size())
            return corrupt(QStringLiteral("sector number %1 out of range").arg(sector));
        if (seen[sector])
            return corrupt(QStringLiteral("sector chain loops at %1").arg(sector));
        seen[sector] = true;
        chain.push_back(sector);
    }
    if (wanted != SIZE_MAX && chain.size() < wanted)
        return corrupt(QStringLiteral("stream shorter than its recorded size"));
    return {};
}

void CompoundFile::appendSectors(const std::vector<std::uint32_t> &chain, std::vector<std::uint8_t> &out) const
{
    // Every sector number here is below sectorCount_; a short last sector
    // reads as padded with zeros.
    const std::size_t sectorSize = std::size_t(1) << sectorShift_;
    for (std::uint32_t sector : chain) {
        const std::size_t at = out.size();
        out.resize(at + sectorSize, 0);
        if (device_->seek(qint64(sectorOffset(sector))))
            device_->read(reinterpret_cast<char *>(out.data() + at), qint64(sectorSize));
    }
}

Status CompoundFile::readFat()
{
    const std::size_t fatSectors = u32At(header_, 0x2C);
    if (fatSectors > sectorCount_)
        return corrupt(QStringLiteral("allocation table larger than the file"));
    std::vector<std::uint32_t> locations;
    locations.reserve(fatSectors);
    for (std::size_t i = 0; i < kHeaderDifatEntries && locations.size() < fatSectors; ++i)
        locations.push_back(u32At(header_, 0x4C + 4 * i));

    // Further table locations live in a chain of DIFAT sectors whose last entry links on.
    const std::size_t perSector = (std::size_t(1) << sectorShift_) / 4 - 1;
    std::vector<bool> seen(sectorCount_, false);
    std::vector<std::uint8_t> sector;
    for (std::uint32_t difat = u32At(header_, 0x44); locations.size() < fatSectors;) {
        if (difat >= sectorCount_ || seen[difat])
            return corrupt(QStringLiteral("broken DIFAT chain"));
        seen[difat] = true;
        sector.clear();
        appendSectors({difat}, sector);
        for (std::size_t i = 0; i < perSector && locations.size() < fatSectors; ++i)
            locations.push_back(u32At(sector, 4 * i));
        difat = u32At(sector, 4 * perSector);
    }

    std::vector<std::uint8_t> raw;
    raw.reserve(fatSectors << sectorShift_);
    for (std::uint32_t location : locations) {
        if (location >= sectorCount_)
            return corrupt(QStringLiteral("allocation table sector outside the file"));
        appendSectors({location}, raw);
    }
    fat_.resize(raw.size() / 4);
    for (std::size_t i = 0; i < fat_.size(); ++i)
        fat_[i] = u32At(raw, 4 * i);
    // Entries past the file's last sector can only lead outside it.
    if (fat_.size() > sectorCount_)
        fat_.resize(sectorCount_);
    return {};
}

Status CompoundFile::readDirectory()
{
    std::vector<std::uint32_t> chain;
    if (Status s = followChain(u32At(header_, 0x30), fat_, SIZE_MAX, chain); !s.ok())
        return s;
    std::vector<std::uint8_t> raw;
    appendSectors(chain, raw);
    const Bytes bytes(raw);
    for (std::size_t offset = 0; offset + kEntrySize <= bytes.size(); offset += kEntrySize) {
        Entry entry;
        // The recorded name length counts the terminating null character.
        const std::size_t nameBytes = std::min<std::size_t>(u16At(bytes, offset + 0x40), 64);
        for (std::size_t i = 0; i + 1 < nameBytes / 2; ++i)
            entry.name.push_back(char16_t(u16At(bytes, offset + 2 * i)));
        entry.type = bytes[offset + 0x42];
        entry.left = u32At(bytes, offset + 0x44);
        entry.right = u32At(bytes, offset + 0x48);
        entry.child = u32At(bytes, offset + 0x4C);
        entry.start = u32At(bytes, offset + 0x74);
        // Version 3 files may leave garbage in the size's high half.
        entry.size = version4_ ? u64At(bytes, offset + 0x78) : u32At(bytes, offset + 0x78);
        entries_.push_back(std::move(entry));
    }
    if (entries_.empty() || entries_.front().type != kRootEntry)
        return corrupt(QStringLiteral("no root directory entry"));
    return {};
}

int CompoundFile::findStream(std::string_view name) const
{
    // The root's children form a binary tree through their left and right links.
    std::vector<bool> seen(entries_.size(), false);
    std::vector<std::uint32_t> pending{entries_.front().child};
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index >= entries_.size() || seen[index])
            continue;
        seen[index] = true;
        const Entry &entry = entries_[index];
        pending.push_back(entry.left);
        pending.push_back(entry.right);
        if (entry.type != kStreamEntry || entry.name.size() != name.size())
            continue;
        if (std::equal(name.begin(), name.end(), entry.name.begin(),
                       [](char a, char16_t b) { return foldAscii(char16_t(a)) == foldAscii(b); }))
            return int(index);
    }
    return -1;
}

Status CompoundFile::readMiniStream(std::vector<std::uint8_t> &stream, std::vector<std::uint32_t> &miniFat) const
{
    const Entry &root = entries_.front();
    std::vector<std::uint32_t> chain;
    if (Status s = followChain(root.start, fat_, sectorsFor(root.size, sectorShift_), chain); !s.ok())
        return s;
    appendSectors(chain, stream);
    stream.resize(std::size_t(root.size));

    if (Status s = followChain(u32At(header_, 0x3C), fat_, SIZE_MAX, chain); !s.ok())
        return s;
    std::vector<std::uint8_t> raw;
    appendSectors(chain, raw);
    miniFat.resize(std::min(raw.size() / 4, stream.size() >> kMiniShift));
    for (std::size_t i = 0; i < miniFat.size(); ++i)
        miniFat[i] = u32At(raw, 4 * i);
    return {};
}

Status CompoundFile::openStream(int index, StreamSource &stream) const
{
    stream = StreamSource();
    if (index < 0 || std::size_t(index) >= entries_.size())
        return corrupt(QStringLiteral("no such stream"));
    const Entry &entry = entries_[std::size_t(index)];
    std::vector<std::uint32_t> chain;
    if (entry.size >= miniCutoff_) {
        if (sectorsFor(entry.size, sectorShift_) > sectorCount_)
            return corrupt(QStringLiteral("stream larger than the file"));
        if (Status s = followChain(entry.start, fat_, sectorsFor(entry.size, sectorShift_), chain); !s.ok())
            return s;
        // Writers usually put a stream's sectors in order: runs of them are read at once.
        const std::uint64_t sectorSize = std::uint64_t(1) << sectorShift_;
        std::vector<StreamSource::Extent> extents;
        for (std::uint32_t sector : chain) {
            if (!extents.empty() && extents.back().offset + extents.back().size == sectorOffset(sector))
                extents.back().size += sectorSize;
            else
                extents.push_back({sectorOffset(sector), sectorSize});
        }
        stream = StreamSource(*device_, std::move(extents), entry.size);
        return {};
    }
    std::vector<std::uint8_t> mini;
    std::vector<std::uint32_t> miniFat;
    if (Status s = readMiniStream(mini, miniFat); !s.ok())
        return s;
    if (Status s = followChain(entry.start, miniFat, sectorsFor(entry.size, kMiniShift), chain); !s.ok())
        return s;
    QByteArray bytes;
    bytes.reserve(qsizetype(chain.size()) << kMiniShift);
    for (std::uint32_t sector : chain)
        bytes.append(reinterpret_cast<const char *>(mini.data()) + (std::size_t(sector) << kMiniShift),
                     qsizetype(1) << kMiniShift);
    bytes.resize(qsizetype(entry.size));
    stream = StreamSource(bytes);
    return {};
}

}  // namespace spreadsheet::xls
