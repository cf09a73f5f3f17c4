#pragma once

#include <array>
#include <cstdint>

namespace korvex {

// Byte-permute indices that pack sixteen pixels held one per 32-bit lane,
// colour in the first three bytes, into 48 bytes of 24-bit pixels.
alignas(64) inline constexpr std::array<std::uint8_t, 64> packPixelsFromLanes = [] {
    std::array<std::uint8_t, 64> index{};
    for (int i = 0; i < 48; ++i)
        index[std::size_t(i)] = std::uint8_t(i / 3 * 4 + i % 3);
    return index;
}();

}  // namespace korvex
