#pragma once

#include "core/compose/MixingMatrices.h"

#include <array>
#include <cstdint>
#include <memory>

namespace korvex {

// The matrix methods in linear light on the byte path, 16 pixels per step
// with AVX-512 (VBMI byte permutes, VNNI word dot products), for processors
// that have them; the caller keeps the lookup tables for the others.
//
// Each byte is decoded to 15-bit linear light by two byte tables held in
// registers; every output channel is ML * left + MR * right summed exactly in
// 32 bits from coefficients in 2^-coefficientBits; the sum, narrowed to
// 1.0 = 2^24, is encoded by the sRGB curve's linear segment or, above it,
// as 2^(e / 2.4) per octave times a piecewise linear fit of m^(1 / 2.4) for
// its mantissa m, in single precision. Row tails are masked, not copied.
class LinearLightMixAvx512 {
public:
    // Empty below SimdLevel::Avx512 or when the matrices need more than 16
    // bits per coefficient at a useful precision.
    static std::unique_ptr<LinearLightMixAvx512> plan(const MixingMatrices& matrices);
    static bool isSupported();

    // One run of pixels: left and right at their first pixel with strides
    // 3 or 4 bytes, out 3 bytes a pixel.
    void mixPixels(const std::uint8_t* left, int leftStride, const std::uint8_t* right, int rightStride,
                   std::uint8_t* out, int pixels) const;

    // The encoding step alone, for sums where 1.0 is sumOne: bytes clamped
    // to 0..255. Only where isSupported().
    static constexpr std::int32_t sumOne = 1 << 24;
    static void encodeSums(const std::int32_t* sums, std::uint8_t* bytes, int count);

private:
    int sumShift_ = 0;  // from the products' fixed point down to sumOne
    // Per output channel and input channel, the left coefficient in the low
    // word and the right in the high word.
    std::array<std::array<std::int32_t, 3>, 3> coefficientPairs_{};
};

}  // namespace korvex
