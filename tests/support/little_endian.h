#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvenmark::testing {

// Writes the low `size` bytes of value at `at`, least significant first, as
// bitmap and packed skin headers store their numbers.
inline void PutLe(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace tolvenmark::testing
