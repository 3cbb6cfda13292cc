#pragma once
// The ciphers that encrypt the record bodies of an Excel 97-2003 workbook stream.

#include "spreadsheet/xls/Rc4.h"

#include <QByteArray>

#include <array>
#include <functional>
#include <optional>

namespace spreadsheet::xls {

// Decrypts record bodies where they lie in the workbook stream.
class RecordCipher {
public:
    virtual ~RecordCipher() = default;

    // Decrypts `bytes` in place: they start at stream offset `offset`, inside
    // the body of a record of `recordSize` bytes. Calls come in stream order.
    virtual void decrypt(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t recordSize) = 0;
};

// XOR obfuscation (method 1): every byte is XORed with one of 16 bytes made
// from the password, picked by its stream offset plus its record's size,
// and rotated.
class XorObfuscation final : public RecordCipher {
public:
    // The cipher of `password`: 1 to 15 single-byte characters.
    explicit XorObfuscation(const QByteArray &password);

    // The 16-bit key that FILEPASS stores for `password` (1 to 15 characters).
    static std::uint16_t key(const QByteArray &password);
    // The 16-bit password verifier that FILEPASS stores for `password`.
    static std::uint16_t verifier(const QByteArray &password);

    void decrypt(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t recordSize) override;

private:
    std::array<std::uint8_t, 16> array_{};
};

// RC4 keyed anew for every 1,024-byte block of the stream, counted from the
// stream's start: bytes left unencrypted still use up their keystream.
class BlockRc4 final : public RecordCipher {
public:
    // The RC4 key of block `block`.
    using BlockKey = std::function<QByteArray(std::uint32_t block)>;

    explicit BlockRc4(BlockKey blockKey) : blockKey_(std::move(blockKey)) {}

    void decrypt(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t recordSize) override;

private:
    void seek(std::size_t offset);

    BlockKey blockKey_;
    std::optional<Rc4> rc4_;
    std::size_t block_ = 0;
    std::size_t position_ = 0;  // stream offset of the keystream's next byte
};

}  // namespace spreadsheet::xls
