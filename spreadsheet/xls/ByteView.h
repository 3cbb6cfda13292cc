#pragma once
// Bounds-checked little-endian access to untrusted bytes.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace spreadsheet::xls {

using Bytes = std::span<const std::uint8_t>;

// The bytes of `data`, valid while `data` lives unchanged.
inline Bytes bytesOf(const QByteArray &data)
{
    return Bytes(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size()));
}

// True when `count` bytes starting at `offset` lie inside `bytes`.
inline bool fits(Bytes bytes, std::size_t offset, std::size_t count)
{
    return offset <= bytes.size() && count <= bytes.size() - offset;
}

// The 16-bit value at `offset`, or 0 when it would pass the end.
inline std::uint16_t u16At(Bytes bytes, std::size_t offset)
{
    if (!fits(bytes, offset, 2))
        return 0;
    return std::uint16_t(bytes[offset] | bytes[offset + 1] << 8);
}

// The 32-bit value at `offset`, or 0 when it would pass the end.
inline std::uint32_t u32At(Bytes bytes, std::size_t offset)
{
    if (!fits(bytes, offset, 4))
        return 0;
    return std::uint32_t(u16At(bytes, offset)) | std::uint32_t(u16At(bytes, offset + 2)) << 16;
}

// The 64-bit value at `offset`, or 0 when it would pass the end.
inline std::uint64_t u64At(Bytes bytes, std::size_t offset)
{
    if (!fits(bytes, offset, 8))
        return 0;
    return std::uint64_t(u32At(bytes, offset)) | std::uint64_t(u32At(bytes, offset + 4)) << 32;
}

// The IEEE double stored at `offset`, or 0 when it would pass the end.
inline double f64At(Bytes bytes, std::size_t offset)
{
    const std::uint64_t bits = u64At(bytes, offset);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace spreadsheet::xls
