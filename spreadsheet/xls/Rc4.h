#pragma once
// The RC4 stream cipher of encrypted Excel 97-2003 workbooks.

#include "spreadsheet/xls/ByteView.h"

#include <array>
#include <span>

namespace spreadsheet::xls {

class Rc4 {
public:
    // A keystream set up with `key`, which holds 1 to 256 bytes.
    explicit Rc4(Bytes key);

    // XORs the next keystream bytes into `data`, which encrypts and decrypts alike.
    void apply(std::span<std::uint8_t> data);
    // Passes over the next `count` keystream bytes.
    void skip(std::size_t count);

private:
    std::uint8_t next();

    std::array<std::uint8_t, 256> state_;
    std::uint8_t i_ = 0, j_ = 0;
};

}  // namespace spreadsheet::xls
