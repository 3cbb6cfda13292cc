#include "spreadsheet/xls/Ciphers.h"

namespace spreadsheet::xls {
namespace {

// The published tables of XOR obfuscation, method 1.
constexpr std::array<std::uint16_t, 15> kInitialCode = {0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E,
                                                        0x1872, 0xE139, 0xD40F, 0x84F9, 0x280C, 0xA96A, 0x4EC3};
constexpr std::array<std::uint8_t, 15> kPad = {0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80,
                                               0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00};
constexpr std::array<std::uint16_t, 105> kXorMatrix = {
    0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7, 0x9DCF, 0x2BBF,
    0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4, 0x1BA8, 0x3750, 0x6EA0, 0xDD40,
    0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45, 0xDE8A, 0xAD35, 0x4A4B, 0x9496, 0x390D, 0x721A,
    0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC, 0x5FD9, 0x47D3, 0x8FA6, 0x0F6D, 0x1EDA, 0x3DB4, 0x7B68, 0xF6D0,
    0xB861, 0x60E3, 0xC1C6, 0x93AD, 0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40, 0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10,
    0xAA51, 0x4483, 0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4, 0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C,
    0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD, 0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373, 0x06E6, 0x0DCC,
    0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462, 0x48C4};
constexpr std::size_t kBlockSize = 1024;

// `a` XOR `b`, rotated right by one bit.
std::uint8_t xorRor(std::uint8_t a, std::uint8_t b)
{
    const std::uint8_t value = a ^ b;
    return std::uint8_t(value >> 1 | value << 7);
}

}  // namespace

std::uint16_t XorObfuscation::key(const QByteArray &password)
{
    std::uint16_t key = kInitialCode[std::size_t(password.size()) - 1];
    std::size_t element = kXorMatrix.size() - 1;
    for (qsizetype i = password.size() - 1; i >= 0; --i) {
        std::uint8_t c = std::uint8_t(password[i]);
        for (int bit = 0; bit < 7; ++bit, c = std::uint8_t(c << 1), --element) {
            if (c & 0x40)
                key ^= kXorMatrix[element];
        }
    }
    return key;
}

std::uint16_t XorObfuscation::verifier(const QByteArray &password)
{
    // Over the length byte and the characters, from the last to the first.
    const QByteArray bytes = char(password.size()) + password;
    std::uint16_t verifier = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        verifier = std::uint16_t(((verifier >> 14) & 1) | ((verifier << 1) & 0x7FFF)) ^ std::uint8_t(bytes[i]);
    return verifier ^ 0xCE4B;
}

XorObfuscation::XorObfuscation(const QByteArray &password)
{
    const std::uint16_t xorKey = key(password);
    const std::uint8_t high = std::uint8_t(xorKey >> 8), low = std::uint8_t(xorKey);
    const auto at = [&password](std::size_t i) { return std::uint8_t(password[qsizetype(i)]); };
    // The password's characters from the front, key bytes alternating, high
    // byte on the odd places; the padding from the back.
    std::size_t index = std::size_t(password.size());
    if (index % 2 == 1) {
        array_[index] = xorRor(kPad[0], high);
        --index;
        array_[index] = xorRor(at(std::size_t(password.size()) - 1), low);
    }
    while (index > 0) {
        --index;
        array_[index] = xorRor(at(index), high);
        --index;
        array_[index] = xorRor(at(index), low);
    }
    // An even-length password leaves one byte more to pad, taken from kPad[0].
    index = 15;
    for (int pad = 15 - int(password.size()); pad > 0; pad -= 2, index -= 2) {
        array_[index] = xorRor(kPad[std::size_t(pad)], high);
        array_[index - 1] = xorRor(kPad[std::size_t(pad) - 1], low);
    }
}

void XorObfuscation::decrypt(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t recordSize)
{
    std::size_t index = offset + recordSize;
    for (std::uint8_t &byte : bytes) {
        const std::uint8_t value = byte ^ array_[index++ % array_.size()];
        byte = std::uint8_t(value >> 5 | value << 3);
    }
}

void BlockRc4::seek(std::size_t offset)
{
    if (!rc4_ || offset / kBlockSize != block_ || offset < position_) {
        block_ = offset / kBlockSize;
        rc4_.emplace(bytesOf(blockKey_(std::uint32_t(block_))));
        position_ = block_ * kBlockSize;
    }
    rc4_->skip(offset - position_);
    position_ = offset;
}

void BlockRc4::decrypt(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t)
{
    while (!bytes.empty()) {
        seek(offset);
        const std::size_t inBlock = std::min(bytes.size(), kBlockSize - offset % kBlockSize);
        rc4_->apply(bytes.first(inBlock));
        position_ += inBlock;
        offset += inBlock;
        bytes = bytes.subspan(inBlock);
    }
}

}  // namespace spreadsheet::xls
