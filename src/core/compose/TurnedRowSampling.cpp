#include "core/compose/TurnedRowSampling.h"

#include "core/simd/SimdLevel.h"
#include "core/simd/PixelPermutes.h"
#include "core/simd/SimdTargets.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>


namespace korvex {

namespace {

constexpr std::int64_t half = std::int64_t(1) << 31;

// round(position * 256) of a fixed position plus half a pixel.
inline std::int64_t inSixteenthsOf256(FixedPosition at)
{
    return (at - half + (std::int64_t(1) << 23)) >> 24;
}

template <int Stride>
inline void readOne(const BytePicture& p, FixedPosition x, FixedPosition y, std::uint8_t* d)
{
    if (std::uint64_t(x) > std::uint64_t(p.wide) << 32 || std::uint64_t(y) > std::uint64_t(p.high) << 32) {
        d[0] = d[1] = d[2] = 0;
        return;
    }
    const std::int64_t qx = inSixteenthsOf256(x), qy = inSixteenthsOf256(y);
    const int wx = int(qx & 255), wy = int(qy & 255);
    const int x0 = std::clamp(int(qx >> 8), 0, p.wide - 1), x1 = std::clamp(int(qx >> 8) + 1, 0, p.wide - 1);
    const int y0 = std::clamp(int(qy >> 8), 0, p.high - 1), y1 = std::clamp(int(qy >> 8) + 1, 0, p.high - 1);
    const std::uint8_t* top = p.pixels + p.bytesPerRow * std::size_t(y0);
    const std::uint8_t* bottom = p.pixels + p.bytesPerRow * std::size_t(y1);
    const std::uint8_t* p00 = top + std::size_t(x0) * Stride;
    const std::uint8_t* p10 = top + std::size_t(x1) * Stride;
    const std::uint8_t* p01 = bottom + std::size_t(x0) * Stride;
    const std::uint8_t* p11 = bottom + std::size_t(x1) * Stride;
    for (int c = 0; c < 3; ++c)
        d[c] = mixFourTaps(p00[c], p10[c], p01[c], p11[c], wx, wy);
}

template <int Stride>
void readRun(const BytePicture& p, FixedPosition x, FixedPosition y, std::int64_t stepX, std::int64_t stepY,
             std::uint8_t* out, int count)
{
    for (int i = 0; i < count; ++i, x += stepX, y += stepY, out += 3)
        readOne<Stride>(p, x, y, out);
}

#if defined(__x86_64__)

constexpr int block = 16;

// Byte permutes that make, in each 32-bit lane, the words (channel c of the
// first gather's pixel, channel c of the second's), high bytes zero.
constexpr std::array<std::array<std::uint8_t, 64>, 3> pairIndices()
{
    std::array<std::array<std::uint8_t, 64>, 3> index{};
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 16; ++k) {
            index[std::size_t(c)][std::size_t(4 * k)] = std::uint8_t(4 * k + c);
            index[std::size_t(c)][std::size_t(4 * k + 2)] = std::uint8_t(64 + 4 * k + c);
        }
    return index;
}
alignas(64) constexpr auto pairs = pairIndices();


// Sixteen lanes of round(position * 256), saturated to 32 bits, from the
// block's first position and the lanes' offsets from it.
KORVEX_AVX512_KERNEL __m512i sixteenths(FixedPosition at, __m512i lowOffsets, __m512i highOffsets)
{
    const __m512i start = _mm512_set1_epi64(at - half + (std::int64_t(1) << 23));
    const __m256i low = _mm512_cvtsepi64_epi32(_mm512_srai_epi64(_mm512_add_epi64(start, lowOffsets), 24));
    const __m256i high = _mm512_cvtsepi64_epi32(_mm512_srai_epi64(_mm512_add_epi64(start, highOffsets), 24));
    return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
}

// Channel c of the taps mixed across: (256 - w) * first + w * second in each
// lane, from gathers that hold a pixel's bytes in each lane.
KORVEX_AVX512_KERNEL __m512i across(__m512i first, __m512i second, int c, __m512i weights)
{
    const __m512i index = _mm512_load_si512(pairs[std::size_t(c)].data());
    return _mm512_madd_epi16(_mm512_maskz_permutex2var_epi8(0x5555555555555555ull, first, index, second), weights);
}

// 128 bytes of a row from p, none past the picture's end.
struct RowWindow {
    __m512i low, high;
};

KORVEX_AVX512_KERNEL __m512i load64Within(const std::uint8_t* p, const std::uint8_t* end)
{
    const std::ptrdiff_t left = end - p;
    if (left >= 64)
        return _mm512_loadu_si512(p);
    return _mm512_maskz_loadu_epi8(left <= 0 ? 0 : ~0ull >> (64 - left), p);
}

KORVEX_AVX512_KERNEL RowWindow windowAt(const std::uint8_t* p, const std::uint8_t* end)
{
    return {load64Within(p, end), load64Within(p + 64, end)};
}

// The words (channel c at byte `at`, at byte `at + 3`) of each lane from a
// window; `pairAt` holds at in both words' low bytes.
KORVEX_AVX512_KERNEL __m512i pairFrom(const RowWindow& w, __m512i pairAt)
{
    return _mm512_maskz_permutex2var_epi8(0x5555555555555555ull, w.low, pairAt, w.high);
}

// Widest span of first taps a block's window holds: the second tap three
// bytes on, within 128 bytes of three-byte pixels (byte 40 * 3 + 3 + 2 is
// the last).
constexpr int windowPixels = 40;

template <int Stride>
KORVEX_TARGET_AVX512 void sampleTurnedRowAvx512(const BytePicture& p, FixedPosition x, FixedPosition y, std::int64_t stepX,
                                         std::int64_t stepY, std::uint8_t* out, int outWide)
{
    alignas(64) std::int64_t offsets[4][8];
    for (int k = 0; k < 8; ++k) {
        offsets[0][k] = k * stepX;
        offsets[1][k] = (k + 8) * stepX;
        offsets[2][k] = k * stepY;
        offsets[3][k] = (k + 8) * stepY;
    }
    const __m512i xLow = _mm512_load_si512(offsets[0]), xHigh = _mm512_load_si512(offsets[1]);
    const __m512i yLow = _mm512_load_si512(offsets[2]), yHigh = _mm512_load_si512(offsets[3]);
    // Blocks whose taps all lie inside, above the last row: no tap needs
    // the edge repeated, and a four-byte read of a three-byte pixel stays
    // within the picture.
    const __m512i lastX = _mm512_set1_epi32(p.wide - 2), lastY = _mm512_set1_epi32(p.high - 3);
    const __m512i rowBytes = _mm512_set1_epi32(int(p.bytesPerRow)), stride = _mm512_set1_epi32(Stride);
    const __m512i byteMask = _mm512_set1_epi32(255), full = _mm512_set1_epi32(256);
    const __m512i roundHalf = _mm512_set1_epi32(1 << 15);
    const __m512i packBytes = _mm512_load_si512(packPixelsFromLanes.data());
    const std::uint8_t* const end = p.pixels + p.bytesPerRow * std::size_t(p.high);
    int i = 0;
    for (; i + block <= outWide; i += block, x += block * stepX, y += block * stepY, out += 3 * block) {
        const __m512i qx = sixteenths(x, xLow, xHigh), qy = sixteenths(y, yLow, yHigh);
        const __m512i x0 = _mm512_srai_epi32(qx, 8), y0 = _mm512_srai_epi32(qy, 8);
        const __mmask16 inside = _mm512_cmpge_epi32_mask(x0, _mm512_setzero_si512()) & _mm512_cmple_epi32_mask(x0, lastX)
                                 & _mm512_cmpge_epi32_mask(y0, _mm512_setzero_si512()) & _mm512_cmple_epi32_mask(y0, lastY);
        if (inside != 0xFFFF) {
            readRun<Stride>(p, x, y, stepX, stepY, out, block);
            continue;
        }
        const __m512i wx = _mm512_and_si512(qx, byteMask), wy = _mm512_and_si512(qy, byteMask);
        const __m512i wxPair = _mm512_or_si512(_mm512_sub_epi32(full, wx), _mm512_slli_epi32(wx, 16));
        __m512i top[3], bottom[3];
        // The taps move steadily along the row: the first and last lanes
        // bound them.
        const int firstX = int(inSixteenthsOf256(x) >> 8), lastLaneX = int(inSixteenthsOf256(x + (block - 1) * stepX) >> 8);
        const int firstY = int(inSixteenthsOf256(y) >> 8), lastLaneY = int(inSixteenthsOf256(y + (block - 1) * stepY) >> 8);
        const int leftX = std::min(firstX, lastLaneX), topY = std::min(firstY, lastLaneY);
        if (Stride == 3 && std::abs(lastLaneX - firstX) <= windowPixels && std::abs(lastLaneY - firstY) <= 1) {
            // A small turn: the taps lie in three rows' 128-byte windows,
            // picked from registers. Lanes a row down take the lower two.
            const std::uint8_t* at = p.pixels + p.bytesPerRow * std::size_t(topY) + std::size_t(leftX) * 3;
            const RowWindow rows[3] = {windowAt(at, end), windowAt(at + p.bytesPerRow, end),
                                       windowAt(at + 2 * p.bytesPerRow, end)};
            const __mmask16 lower = _mm512_cmpgt_epi32_mask(y0, _mm512_set1_epi32(topY));
            const __m512i byteAt = _mm512_mullo_epi32(_mm512_sub_epi32(x0, _mm512_set1_epi32(leftX)), stride);
            const __m512i pairAt = _mm512_or_si512(byteAt, _mm512_slli_epi32(byteAt, 16));
            for (int c = 0; c < 3; ++c) {
                const __m512i index = _mm512_add_epi32(pairAt, _mm512_set1_epi32(c | (3 + c) << 16));
                const __m512i middle = pairFrom(rows[1], index);
                top[c] = _mm512_madd_epi16(_mm512_mask_mov_epi32(pairFrom(rows[0], index), lower, middle), wxPair);
                bottom[c] = _mm512_madd_epi16(_mm512_mask_mov_epi32(middle, lower, pairFrom(rows[2], index)), wxPair);
            }
        } else {
            const __m512i at = _mm512_add_epi32(_mm512_mullo_epi32(y0, rowBytes), _mm512_mullo_epi32(x0, stride));
            const __m512i p00 = _mm512_i32gather_epi32(at, p.pixels, 1);
            const __m512i p10 = _mm512_i32gather_epi32(_mm512_add_epi32(at, stride), p.pixels, 1);
            const __m512i below = _mm512_add_epi32(at, rowBytes);
            const __m512i p01 = _mm512_i32gather_epi32(below, p.pixels, 1);
            const __m512i p11 = _mm512_i32gather_epi32(_mm512_add_epi32(below, stride), p.pixels, 1);
            for (int c = 0; c < 3; ++c) {
                top[c] = across(p00, p10, c, wxPair);
                bottom[c] = across(p01, p11, c, wxPair);
            }
        }
        const __m512i wyAbove = _mm512_sub_epi32(full, wy);
        __m512i pixels = _mm512_setzero_si512();
        for (int c = 0; c < 3; ++c) {
            const __m512i sum = _mm512_add_epi32(
                _mm512_add_epi32(_mm512_mullo_epi32(top[c], wyAbove), _mm512_mullo_epi32(bottom[c], wy)), roundHalf);
            pixels = _mm512_or_si512(pixels, _mm512_slli_epi32(_mm512_srli_epi32(sum, 16), 8 * c));
        }
        _mm512_mask_storeu_epi8(out, 0xFFFFFFFFFFFFull, _mm512_permutexvar_epi8(packBytes, pixels));
    }
    readRun<Stride>(p, x, y, stepX, stepY, out, outWide - i);
}

#endif

}  // namespace

void sampleTurnedRow(const BytePicture& picture, FixedPosition x, FixedPosition y, std::int64_t stepX,
                     std::int64_t stepY, std::uint8_t* out, int outWide)
{
#if defined(__x86_64__)
    // The gathers take 32-bit byte offsets.
    const std::size_t bytes = picture.bytesPerRow * std::size_t(picture.high);
    if (simdLevel() == SimdLevel::Avx512 && bytes < std::size_t(std::numeric_limits<std::int32_t>::max()) - 64) {
        if (picture.stride == 3)
            return sampleTurnedRowAvx512<3>(picture, x, y, stepX, stepY, out, outWide);
        return sampleTurnedRowAvx512<4>(picture, x, y, stepX, stepY, out, outWide);
    }
#endif
    if (picture.stride == 3)
        return readRun<3>(picture, x, y, stepX, stepY, out, outWide);
    readRun<4>(picture, x, y, stepX, stepY, out, outWide);
}

}  // namespace korvex
