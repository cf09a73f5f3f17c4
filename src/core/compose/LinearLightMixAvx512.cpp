#include "core/compose/LinearLightMixAvx512.h"

#include "core/simd/SimdLevel.h"
#include "core/simd/SimdTargets.h"
#include "core/compose/SrgbCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>


namespace korvex {

namespace {

constexpr int linearBits = 15;  // decoded bytes: 1.0 = 2^15, 255 stored as 2^15 - 1
constexpr int sumBits = 24;     // LinearLightMixAvx512::sumOne
// Finer coefficients would not fit 16 bits for Dubois's largest (1.226);
// coarser ones would stray by a step near black, where the curve is steepest.
constexpr int maxCoefficientBits = 15;
constexpr int minCoefficientBits = 13;
constexpr int pixelsPerStep = 16;

// The curve's tables: the decoding's low and high bytes per input byte, and
// the encoding's per-octave scale and per-mantissa-sixteenth line.
struct CurveTables {
    alignas(64) std::uint8_t decodedLow[256];
    alignas(64) std::uint8_t decodedHigh[256];
    // Indexed by the low four bits of a float's biased exponent: the sums
    // between the linear segment and twice sumOne span eleven octaves.
    alignas(64) float octaveScale[16];
    // Indexed by the top four bits of the mantissa m (1 <= m < 2): the line
    // a + b m that strays least from m^(1 / 2.4) over that sixteenth.
    alignas(64) float lineStart[16];
    alignas(64) float lineSlope[16];
};

const CurveTables& curveTables()
{
    static const CurveTables tables = [] {
        CurveTables t{};
        for (int b = 0; b < 256; ++b) {
            const long v = std::min(std::lround(srgbToLinear(b / 255.0) * (1 << linearBits)), (1L << linearBits) - 1);
            t.decodedLow[b] = std::uint8_t(v & 0xFF);
            t.decodedHigh[b] = std::uint8_t(v >> 8);
        }
        const double q = 1.0 / 2.4;
        for (int e = 15; e <= sumBits + 1; ++e)
            t.octaveScale[(127 + e) & 15] = float(255.0 * 1.055 * std::pow(2.0, (e - sumBits) * q));
        for (int j = 0; j < 16; ++j) {
            // The chord, moved up by half its largest distance below the curve.
            const double m0 = 1.0 + j / 16.0;
            const double m1 = m0 + 1.0 / 16.0;
            const double slope = (std::pow(m1, q) - std::pow(m0, q)) / (m1 - m0);
            const double touching = std::pow(slope / q, 1.0 / (q - 1.0));
            const double gap = std::pow(touching, q) - (std::pow(m0, q) + slope * (touching - m0));
            t.lineSlope[j] = float(slope);
            t.lineStart[j] = float(std::pow(m0, q) - slope * m0 + gap / 2.0);
        }
        return t;
    }();
    return tables;
}

#if defined(__x86_64__)
struct Registers {
    __m512i low[4];
    __m512i high[4];
    __m512 octaveScale;
    __m512 lineStart;
    __m512 lineSlope;
};

KORVEX_AVX512_KERNEL Registers loadRegisters(const CurveTables& t)
{
    Registers r;
    for (int i = 0; i < 4; ++i) {
        r.low[i] = _mm512_load_si512(t.decodedLow + 64 * i);
        r.high[i] = _mm512_load_si512(t.decodedHigh + 64 * i);
    }
    r.octaveScale = _mm512_load_ps(t.octaveScale);
    r.lineStart = _mm512_load_ps(t.lineStart);
    r.lineSlope = _mm512_load_ps(t.lineSlope);
    return r;
}

struct Decoded {
    __m512i low;
    __m512i high;
};

// Each byte's linear value, as low and high bytes in place of the byte: a
// two-register permute covers 128 entries, the top bit picks which half.
KORVEX_AVX512_KERNEL Decoded decode(__m512i bytes, const Registers& r)
{
    const __mmask64 upper = _mm512_movepi8_mask(bytes);
    return {_mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(r.low[0], bytes, r.low[1]),
                                   _mm512_permutex2var_epi8(r.low[2], bytes, r.low[3])),
            _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(r.high[0], bytes, r.high[1]),
                                   _mm512_permutex2var_epi8(r.high[2], bytes, r.high[3]))};
}

// Sums (1.0 = sumOne) to bytes in 32-bit lanes; below 0 and above 255 are
// left for the saturating packs.
KORVEX_AVX512_KERNEL __m512i encode(__m512i sums, const Registers& r)
{
    const __m512 s = _mm512_cvtepi32_ps(sums);
    const __m512i bits = _mm512_castps_si512(s);
    const __m512 start = _mm512_permutexvar_ps(_mm512_srli_epi32(bits, 19), r.lineStart);
    const __m512 slope = _mm512_permutexvar_ps(_mm512_srli_epi32(bits, 19), r.lineSlope);
    const __m512 scale = _mm512_permutexvar_ps(_mm512_srli_epi32(bits, 23), r.octaveScale);
    // The mantissa as a float in [1, 2): (bits & mantissa) | exponent of 1.0.
    const __m512 mantissa = _mm512_castsi512_ps(
        _mm512_ternarylogic_epi32(bits, _mm512_set1_epi32(0x007FFFFF), _mm512_set1_epi32(0x3F800000), 0xEA));
    const __m512 root = _mm512_fmadd_ps(mantissa, slope, start);
    __m512 encoded = _mm512_fmadd_ps(root, scale, _mm512_set1_ps(float(-255.0 * 0.055)));
    const __mmask16 linear = _mm512_cmp_ps_mask(s, _mm512_set1_ps(float(0.0031308 * (1 << sumBits))), _CMP_LE_OQ);
    encoded = _mm512_mask_mul_ps(encoded, linear, s, _mm512_set1_ps(float(255.0 * 12.92 / (1 << sumBits))));
    return _mm512_cvtps_epi32(encoded);
}

// Bytes 0..255 of three channels' 16 lanes, saturated, as 48 interleaved bytes.
KORVEX_AVX512_KERNEL __m512i interleave(__m512i red, __m512i green, __m512i blue)
{
    // Per 128-bit lane L the packs leave red, green, blue, blue of pixels 4L..4L+3.
    const __m512i packed =
        _mm512_packus_epi16(_mm512_packus_epi32(red, green), _mm512_packus_epi32(blue, blue));
    alignas(64) static constexpr std::uint8_t order[64] = {
        0,  4,  8,  1,  5,  9,  2,  6,  10, 3,  7,  11, 16, 20, 24, 17, 21, 25, 18, 22, 26, 19,
        23, 27, 32, 36, 40, 33, 37, 41, 34, 38, 42, 35, 39, 43, 48, 52, 56, 49, 53, 57, 50, 54,
        58, 51, 55, 59, 0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0};
    return _mm512_permutexvar_epi8(_mm512_load_si512(order), packed);
}

KORVEX_AVX512_KERNEL __m512i loadStep(const std::uint8_t* at, bool whole, int bytes)
{
    return whole ? _mm512_loadu_si512(at) : _mm512_maskz_loadu_epi8(~0ull >> (64 - bytes), at);
}

// For channel c, dword p gathers (left low, left high, right low, right high)
// of pixel p's channel c; the left pair comes from one permute, the right
// pair from another with the same indices.
template <int SL, int SR>
struct Arrangement {
    alignas(64) std::uint8_t index[3][64];
    constexpr Arrangement() : index{}
    {
        for (int c = 0; c < 3; ++c) {
            for (int p = 0; p < pixelsPerStep; ++p) {
                index[c][4 * p] = std::uint8_t(SL * p + c);
                index[c][4 * p + 1] = std::uint8_t(64 + SL * p + c);
                index[c][4 * p + 2] = std::uint8_t(SR * p + c);
                index[c][4 * p + 3] = std::uint8_t(64 + SR * p + c);
            }
        }
    }
};

template <int SL, int SR>
KORVEX_TARGET_AVX512 void
mixRow(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* out, int pixels,
       const std::array<std::array<std::int32_t, 3>, 3>& pairs, int sumShift)
{
    static constexpr Arrangement<SL, SR> arrangement;
    const Registers r = loadRegisters(curveTables());
    __m512i index[3];
    __m512i coefficients[3][3];
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c) {
        index[c] = _mm512_load_si512(arrangement.index[c]);
        for (int column = 0; column < 3; ++column)
            coefficients[c][column] = _mm512_set1_epi32(pairs[std::size_t(c)][std::size_t(column)]);
    }
    const __m512i rounding = _mm512_set1_epi32((1 << sumShift) >> 1);
    const __m128i shift = _mm_cvtsi32_si128(sumShift);
    constexpr __mmask64 leftWords = 0x3333333333333333ull;
    for (int x = 0; x < pixels; x += pixelsPerStep) {
        // Whole registers while they stay inside the row (the bytes beyond
        // the step are read in vain, or written again by the next step);
        // masked at its end.
        const bool whole = x + 64 / 3 + 1 <= pixels;
        const int n = std::min(pixelsPerStep, pixels - x);
        const Decoded l = decode(loadStep(left + std::size_t(x) * SL, whole, SL * n), r);
        const Decoded rt = decode(loadStep(right + std::size_t(x) * SR, whole, SR * n), r);
        __m512i channels[3];
#pragma GCC unroll 3
        for (int c = 0; c < 3; ++c) {
            channels[c] = _mm512_or_si512(_mm512_maskz_permutex2var_epi8(leftWords, l.low, index[c], l.high),
                                          _mm512_maskz_permutex2var_epi8(~leftWords, rt.low, index[c], rt.high));
        }
        __m512i encoded[3];
#pragma GCC unroll 3
        for (int c = 0; c < 3; ++c) {
            __m512i sum = rounding;
#pragma GCC unroll 3
            for (int column = 0; column < 3; ++column)
                sum = _mm512_dpwssd_epi32(sum, channels[column], coefficients[c][column]);
            encoded[c] = encode(_mm512_sra_epi32(sum, shift), r);
        }
        const __m512i bytes = interleave(encoded[0], encoded[1], encoded[2]);
        std::uint8_t* at = out + std::size_t(x) * 3;
        if (whole)
            _mm512_storeu_si512(at, bytes);
        else
            _mm512_mask_storeu_epi8(at, ~0ull >> (64 - 3 * n), bytes);
    }
}

KORVEX_TARGET_AVX512 void
encodeRun(const std::int32_t* sums, std::uint8_t* bytes, int count)
{
    const Registers r = loadRegisters(curveTables());
    for (int i = 0; i < count; i += pixelsPerStep) {
        const int n = std::min(pixelsPerStep, count - i);
        const __m512i e = encode(_mm512_maskz_loadu_epi32(__mmask16((1u << n) - 1), sums + i), r);
        const __m512i packed = _mm512_packus_epi16(_mm512_packus_epi32(e, e), _mm512_packus_epi32(e, e));
        // Per 128-bit lane: the lane's four bytes at 0..3; gather lanes' first dwords.
        const __m512i order = _mm512_setr_epi32(0, 4, 8, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        _mm_mask_storeu_epi8(bytes + i, __mmask16((1u << n) - 1),
                             _mm512_castsi512_si128(_mm512_permutexvar_epi32(order, packed)));
    }
}
#endif

}  // namespace

bool LinearLightMixAvx512::isSupported()
{
#if defined(__x86_64__)
    return simdLevel() == SimdLevel::Avx512;
#else
    return false;
#endif
}

std::unique_ptr<LinearLightMixAvx512> LinearLightMixAvx512::plan(const MixingMatrices& m)
{
    if (!isSupported())
        return nullptr;
    int largest = 0;
    int worstRow = 0;
    for (int row = 0; row < 3; ++row) {
        int magnitude = 0;
        for (int column = 0; column < 3; ++column) {
            const std::size_t i = std::size_t(row * 3 + column);
            largest = std::max({largest, std::abs(m.left[i]), std::abs(m.right[i])});
            magnitude += std::abs(m.left[i]) + std::abs(m.right[i]);
        }
        worstRow = std::max(worstRow, magnitude);
    }
    // The finest coefficients that fit a signed word, and whose products,
    // summed with the rounding, fit a signed dword.
    for (int bits = maxCoefficientBits; bits >= minCoefficientBits; --bits) {
        const double one = double(1 << bits) / MixingMatrices::unit;
        if (std::lround(largest * one) > 32767 || (worstRow + 1.0) * one * (1 << linearBits) >= 2147483647.0)
            continue;
        auto mix = std::make_unique<LinearLightMixAvx512>();
        mix->sumShift_ = bits + linearBits - sumBits;
        for (std::size_t row = 0; row < 3; ++row) {
            for (std::size_t column = 0; column < 3; ++column) {
                const auto l = std::uint16_t(std::int16_t(std::lround(m.left[row * 3 + column] * one)));
                const auto r = std::uint16_t(std::int16_t(std::lround(m.right[row * 3 + column] * one)));
                mix->coefficientPairs_[row][column] = std::int32_t(std::uint32_t(l) | std::uint32_t(r) << 16);
            }
        }
        return mix;
    }
    return nullptr;
}

void LinearLightMixAvx512::mixPixels(const std::uint8_t* left, int leftStride, const std::uint8_t* right,
                                     int rightStride, std::uint8_t* out, int pixels) const
{
#if defined(__x86_64__)
    auto* row = leftStride == 3 ? (rightStride == 3 ? &mixRow<3, 3> : &mixRow<3, 4>)
                                : (rightStride == 3 ? &mixRow<4, 3> : &mixRow<4, 4>);
    row(left, right, out, pixels, coefficientPairs_, sumShift_);
#else
    (void)left, (void)leftStride, (void)right, (void)rightStride, (void)out, (void)pixels;
#endif
}

void LinearLightMixAvx512::encodeSums(const std::int32_t* sums, std::uint8_t* bytes, int count)
{
#if defined(__x86_64__)
    encodeRun(sums, bytes, count);
#else
    (void)sums, (void)bytes, (void)count;
#endif
}

}  // namespace korvex
