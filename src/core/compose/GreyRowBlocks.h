#pragma once

#include "core/compose/GlassesTypes.h"

#include <cstdint>

namespace korvex {

// The black-and-white classic composition of one row, sixteen pixels at a
// time where the processor has AVX2 (SimdLevel). Each picture's pixel becomes
// the integer mean of its three bytes; output channel c takes the mean of A
// where fromA has c, else of B, and divides it by 1.2, truncated, where
// dimmed has c. aStride and bStride are 3 or 4 bytes (a pad byte last).
// Writes the row's whole blocks of sixteen and returns how many pixels that
// is (0 without AVX2); the caller writes the rest.
int fillGreyRowBlocks(const std::uint8_t* a, int aStride, const std::uint8_t* b, int bStride, std::uint8_t* out,
                      int width, ChannelSet fromA, ChannelSet dimmed);

}  // namespace korvex
