#pragma once

#include <cstdint>

namespace korvex {

// The sRGB encoding as a table for the byte path of the matrix methods:
// entry i is the byte for linear light i / 2^14, rounded, and stands for
// every value that rounds to that index. 2^14 entries keep each within one
// step of the exact encoding of any value it stands for, down in the steep
// part near black too.
constexpr int srgbEncodingIndexBits = 14;
constexpr int srgbEncodingEntries = (1 << srgbEncodingIndexBits) + 1;
const std::uint8_t* srgbEncodingTable();

}  // namespace korvex
