#include "spreadsheet/xls/Rc4.h"

#include <numeric>
#include <utility>

namespace spreadsheet::xls {

Rc4::Rc4(Bytes key)
{
    std::iota(state_.begin(), state_.end(), std::uint8_t(0));
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < state_.size(); ++i) {
        j = std::uint8_t(j + state_[i] + key[i % key.size()]);
        std::swap(state_[i], state_[j]);
    }
}

std::uint8_t Rc4::next()
{
    ++i_;
    j_ = std::uint8_t(j_ + state_[i_]);
    std::swap(state_[i_], state_[j_]);
    return state_[std::uint8_t(state_[i_] + state_[j_])];
}

void Rc4::apply(std::span<std::uint8_t> data)
{
    for (std::uint8_t &byte : data)
        byte ^= next();
}

void Rc4::skip(std::size_t count)
{
    while (count-- > 0)
        next();
}

}  // namespace spreadsheet::xls
