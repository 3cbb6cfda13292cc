#pragma once
// The compound-file container that holds an .xls workbook's streams.

#include "spreadsheet/xls/ByteView.h"
#include "spreadsheet/xls/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace xls {

// Finds and copies out the streams of a compound file held in memory. Every
// sector number, chain and size taken from the file is checked against the
// file's length, so nothing read here allocates more than the file holds.
class CompoundFile {
public:
    // True when `file` starts with the compound-file signature.
    static bool hasSignature(Bytes file);

    // Reads header, allocation table and directory of `file`, which must outlive
    // this object; NotCompoundFile without the signature, Corrupt when broken.
    Status open(Bytes file);

    // Directory index of the stream called `name` (ASCII, any case) directly in
    // the root storage, or -1 when there is none.
    int findStream(std::string_view name) const;

    // The whole content of the stream at directory index `index` in `content`:
    // a view into the file when its sectors lie in order, as writers usually
    // put them, else a copy kept in `storage`. Corrupt when its chain is
    // cyclic, leaves the file or is shorter than its size.
    Status readStream(int index, std::vector<std::uint8_t> &storage, Bytes &content) const;

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

    Bytes file_;
    unsigned sectorShift_ = 9;
    std::uint32_t sectorCount_ = 0;
    std::uint32_t miniCutoff_ = 4096;
    bool version4_ = false;
    std::vector<std::uint32_t> fat_;
    std::vector<Entry> entries_;
};

}  // namespace xls
