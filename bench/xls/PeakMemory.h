#pragma once

#include <cstdint>

// Peak resident memory of this process in bytes so far; 0 where the
// platform does not tell.
std::uint64_t peakResidentBytes();
