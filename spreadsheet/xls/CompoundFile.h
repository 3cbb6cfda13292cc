#pragma once
// The compound-file container that holds an .xls workbook's streams.

#include "spreadsheet/xls/ByteView.h"
#include "spreadsheet/xls/Status.h"
#include "spreadsheet/xls/StreamSource.h"

#include <QIODevice>

#include <string>
#include <string_view>
#include <vector>

namespace spreadsheet::xls {

// Finds the streams of a compound file and tells where their bytes lie.
// Only the header, allocation tables and directory are read into memory.
// Every sector number, chain and size taken from the file is checked against
// the file's length, so nothing read here allocates more than the file holds.
class CompoundFile {
public:
    // True when `file` starts with the compound-file signature.
    static bool hasSignature(Bytes file);

    // Reads header, allocation table and directory of the file open in
    // `device`, which must outlive this object and the streams it gives;
    // NotSpreadsheet without the signature, Damaged when broken.
    Status open(QIODevice &device);

    // Directory index of the stream called `name` (ASCII, any case) directly in
    // the root storage, or -1 when there is none.
    int findStream(std::string_view name) const;

    // The stream at directory index `index`, to be read from the device where
    // its sectors lie (a small stream kept in the mini stream is copied out).
    // Damaged when its chain is cyclic, leaves the file or is shorter than its size.
    Status openStream(int index, StreamSource &stream) const;

private:
    struct Entry {
        std::u16string name;
        std::uint8_t type = 0;
        std::uint32_t left = 0, right = 0, child = 0, start = 0;
        std::uint64_t size = 0;
    };

    Status readHeader();
    Status readFat();
    Status readDirectory();
    Status readMiniStream(std::vector<std::uint8_t> &stream, std::vector<std::uint32_t> &miniFat) const;
    Status followChain(std::uint32_t start, const std::vector<std::uint32_t> &table, std::size_t wanted,
                       std::vector<std::uint32_t> &chain) const;
    void appendSectors(const std::vector<std::uint32_t> &chain, std::vector<std::uint8_t> &out) const;
    std::uint64_t sectorOffset(std::uint32_t sector) const { return (std::uint64_t(sector) + 1) << sectorShift_; }

    QIODevice *device_ = nullptr;
    std::uint64_t fileSize_ = 0;
    std::vector<std::uint8_t> header_;
    unsigned sectorShift_ = 9;
    std::uint32_t sectorCount_ = 0;
    std::uint32_t miniCutoff_ = 4096;
    bool version4_ = false;
    std::vector<std::uint32_t> fat_;
    std::vector<Entry> entries_;
};

}  // namespace spreadsheet::xls
