#include "core/compose/RowMixing.h"

#include "core/simd/SimdLevel.h"
#include "core/simd/SimdTargets.h"

#include <algorithm>

namespace korvex {

namespace {

// Whole chunks of a fixed length, which the compiler vectorises for each
// variant below; the tail one value at a time.
constexpr std::size_t chunk = 64;

__attribute__((always_inline)) inline void mixDownChunks(const std::uint8_t* __restrict top,
                                                        const std::uint8_t* __restrict bottom, int weight,
                                                        std::uint16_t* __restrict mixed, std::size_t n)
{
    const std::uint16_t bottomWeight = std::uint16_t(weight), topWeight = std::uint16_t(256 - weight);
    std::size_t k = 0;
    for (; k + chunk <= n; k += chunk)
        for (std::size_t i = 0; i < chunk; ++i)
            mixed[k + i] = std::uint16_t(top[k + i] * topWeight + bottom[k + i] * bottomWeight);
    for (; k < n; ++k)
        mixed[k] = std::uint16_t(top[k] * topWeight + bottom[k] * bottomWeight);
}

void mixDownPlain(const std::uint8_t* top, const std::uint8_t* bottom, int weight, std::uint16_t* mixed, std::size_t n)
{
    mixDownChunks(top, bottom, weight, mixed, n);
}

#if defined(__x86_64__)
KORVEX_TARGET_AVX2 void mixDownAvx2(const std::uint8_t* top, const std::uint8_t* bottom, int weight,
                                                 std::uint16_t* mixed, std::size_t n)
{
    mixDownChunks(top, bottom, weight, mixed, n);
}

KORVEX_TARGET_AVX512_LOOPS void
mixDownAvx512(const std::uint8_t* top, const std::uint8_t* bottom, int weight, std::uint16_t* mixed, std::size_t n)
{
    mixDownChunks(top, bottom, weight, mixed, n);
}
#endif

}  // namespace

void mixDown(const std::uint8_t* top, const std::uint8_t* bottom, int weight, std::uint16_t* mixed, std::size_t n)
{
#if defined(__x86_64__)
    if (simdLevel() == SimdLevel::Avx512)
        return mixDownAvx512(top, bottom, weight, mixed, n);
    if (simdLevel() == SimdLevel::Avx2)
        return mixDownAvx2(top, bottom, weight, mixed, n);
#endif
    mixDownPlain(top, bottom, weight, mixed, n);
}

ColumnTaps::ColumnTaps(std::vector<Column> columns) : columns_(std::move(columns))
{
    // Lane 2m and 2m + 1 of a group hold channel value m's two taps, m < 15;
    // the sixteenth is a spare that reads the first tap with no weight.
    for (std::size_t start = 0; start < columns_.size(); start += groupPixels) {
        Group g{};
        g.base = columns_[start].first;
        const std::size_t end = std::min(columns_.size(), start + groupPixels);
        for (std::size_t p = start; p < end; ++p) {
            const Column& col = columns_[p];
            const bool black = col.firstWeight == 0 && col.secondWeight == 0;
            for (std::uint32_t c = 0; c < 3; ++c) {
                const std::size_t m = (p - start) * 3 + c;
                const std::uint32_t first = black ? g.base : col.first + c;
                const std::uint32_t second = black ? g.base : col.second + c;
                if (first < g.base || second - g.base >= 64) {
                    groups_.clear();
                    return;
                }
                g.index[2 * m] = std::uint16_t(first - g.base);
                g.index[2 * m + 1] = std::uint16_t(second - g.base);
                g.weight[2 * m] = std::int16_t(col.firstWeight);
                g.weight[2 * m + 1] = std::int16_t(col.secondWeight);
                // The taps are read less 32768 (as signed words); this puts it back, plus the rounding.
                g.bias[m] = 32768 * (col.firstWeight + col.secondWeight) + 32768;
            }
        }
        groups_.push_back(g);
    }
}

void ColumnTaps::mixAcross(const std::uint16_t* mixed, std::uint8_t* out) const
{
#if defined(__x86_64__)
    if (!groups_.empty() && simdLevel() == SimdLevel::Avx512)
        return mixAcrossAvx512(mixed, out);
#endif
    mixAcrossPlain(mixed, out);
}

void ColumnTaps::mixAcrossPlain(const std::uint16_t* mixed, std::uint8_t* out) const
{
    for (const Column& col : columns_) {
        const std::uint16_t* a = mixed + col.first;
        const std::uint16_t* b = mixed + col.second;
        for (int c = 0; c < 3; ++c)
            out[c] = std::uint8_t((a[c] * std::uint32_t(col.firstWeight) + b[c] * std::uint32_t(col.secondWeight) + (1u << 15))
                                  >> 16);
        out += 3;
    }
}

#if defined(__x86_64__)
__attribute__((target("avx512f,avx512bw,avx512vl"))) void ColumnTaps::mixAcrossAvx512(const std::uint16_t* mixed,
                                                                                    std::uint8_t* out) const
{
    const __m512i flip = _mm512_set1_epi16(std::int16_t(0x8000));
    std::size_t pixelsLeft = columns_.size();
    for (const Group& g : groups_) {
        const std::uint16_t* window = mixed + g.base;
        const __m512i low = _mm512_loadu_si512(window);
        const __m512i high = _mm512_loadu_si512(window + 32);
        const __m512i taps = _mm512_xor_si512(
            _mm512_permutex2var_epi16(low, _mm512_load_si512(g.index), high), flip);
        const __m512i sums = _mm512_add_epi32(_mm512_madd_epi16(taps, _mm512_load_si512(g.weight)),
                                              _mm512_load_si512(g.bias));
        const std::size_t pixels = std::min<std::size_t>(pixelsLeft, groupPixels);
        // (The masked forms, as the plain ones start from an undefined register GCC warns of.)
        _mm512_mask_cvtepi32_storeu_epi8(out, __mmask16((1u << (3 * pixels)) - 1),
                                         _mm512_maskz_srli_epi32(__mmask16(0xffff), sums, 16));
        out += 3 * pixels;
        pixelsLeft -= pixels;
    }
}
#endif

}  // namespace korvex
