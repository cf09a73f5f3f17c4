#pragma once

#include "core/compose/MixingMatrices.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace korvex {

// The matrix methods without the sRGB curve on the byte path, in 16-bit
// fixed point that the compiler turns into SIMD. Channels stay interleaved:
// output byte i (channel c) sums coefficient(c, c + d) * source byte i + d
// for d = -2..2, so every term is a multiply of a shifted run of source bytes
// by a coefficient pattern that repeats every three bytes; no shuffles.
// Sums are kept modulo 2^16 from a bias that makes every possible result
// non-negative, and clamped once at the end.
class FixedPointMix {
public:
    // Empty when the matrices' sums are too wide for 16 bits at a useful
    // precision; the caller then takes the table path.
    static std::unique_ptr<FixedPointMix> plan(const MixingMatrices& matrices);

    // One run of pixels: left and right at their first pixel with strides
    // 3 or 4 bytes, out 3 bytes a pixel.
    void mixPixels(const std::uint8_t* left, int leftStride, const std::uint8_t* right, int rightStride,
                   std::uint8_t* out, int pixels) const;

    static constexpr int chunkPixels = 128;
    static constexpr int chunkBytes = 3 * chunkPixels;

private:
    using Lanes = std::array<std::uint16_t, chunkBytes>;
    struct Term {
        int picture;  // 0 left, 1 right
        int offset;   // d, -2..2
        bool subtract;
        Lanes factors;  // coefficients in 1/65536, per output byte
    };

    // Whole chunks always, the padding included, so that every loop has a
    // trip count the compiler can vectorise without a remainder.
    static constexpr int padding = 8;
    static constexpr int paddedBytes = chunkBytes + 2 * padding;
    template <int Shift>
    void mixChunk(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const;
    template <int Shift>
    void mixChunkPlain(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const;
    template <int Shift>
    void mixChunkAvx2(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const;
    template <int Shift>
    void mixChunkAvx512(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const;
    template <int Shift>
    void mixChunkFor(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const;

    int valueShift_ = 0;  // a byte b enters as b << valueShift_
    std::array<std::int16_t, chunkBytes> biasSteps_{};  // each lane's sum for 0.0, in output steps
    Lanes start_{};  // the bias, half a step to round, and the mean rounding loss of the terms
    std::vector<Term> terms_;
};

}  // namespace korvex
