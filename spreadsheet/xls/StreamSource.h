#pragma once
// One stream of a compound file, read piece by piece where it lies.

#include "spreadsheet/xls/ByteView.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace spreadsheet::xls {

// Reads a stream's bytes on demand from the pieces of a device it lies in,
// so that no more of the file is held in memory than the reader asks for.
class StreamSource {
public:
    // One run of the stream's bytes at `offset` in the device.
    struct Extent {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };

    // A stream of no bytes.
    StreamSource() = default;
    // A stream held in memory: `bytes` as they are.
    explicit StreamSource(const QByteArray &bytes);
    // A stream of `size` bytes lying in `extents` of `device`, which must
    // outlive this object and stay open.
    StreamSource(QIODevice &device, std::vector<Extent> extents, std::uint64_t size);

    // The stream's length in bytes.
    std::uint64_t size() const { return size_; }

    // Fills `out` with the bytes from stream offset `offset` on; returns how
    // many there were (fewer only at the stream's end). Bytes the device
    // cannot give (a file shorter than its container says) read as zeros.
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out);

private:
    std::unique_ptr<QBuffer> memory_;  // the device of a stream held in memory
    QIODevice *device_ = nullptr;
    std::vector<Extent> extents_;
    std::uint64_t size_ = 0;
};

}  // namespace spreadsheet::xls
