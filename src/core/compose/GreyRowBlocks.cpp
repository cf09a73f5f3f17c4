#include "core/compose/GreyRowBlocks.h"

#include "core/simd/SimdLevel.h"
#include "core/simd/SimdTargets.h"

#include <array>
#include <cstddef>


namespace korvex {

#if defined(__x86_64__)
namespace {

constexpr int blockPixels = 16;
constexpr std::uint8_t none = 0x80;  // a byte shuffle index that writes zero

using ByteIndex = std::array<std::uint8_t, 16>;

// Byte shuffles that gather channel c of sixteen pixels, `stride` bytes
// apart, out of the j-th sixteen bytes of them.
template <int Stride>
constexpr std::array<std::array<ByteIndex, Stride>, 3> gatherIndices()
{
    std::array<std::array<ByteIndex, Stride>, 3> index{};
    for (int c = 0; c < 3; ++c)
        for (int j = 0; j < Stride; ++j)
            for (int i = 0; i < blockPixels; ++i) {
                const int at = i * Stride + c;
                index[c][j][i] = at / 16 == j ? std::uint8_t(at % 16) : none;
            }
    return index;
}

// Byte shuffles that place a plane of channel c into the k-th sixteen bytes
// of sixteen 3-byte pixels.
constexpr std::array<std::array<ByteIndex, 3>, 3> scatterIndices()
{
    std::array<std::array<ByteIndex, 3>, 3> index{};
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 16; ++i) {
                const int at = 16 * k + i;
                index[c][k][i] = at % 3 == c ? std::uint8_t(at / 3) : none;
            }
    return index;
}

template <int Stride>
constexpr auto gather = gatherIndices<Stride>();
constexpr auto scatter = scatterIndices();

KORVEX_AVX2_KERNEL __m128i loadIndex(const ByteIndex& index)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(index.data()));
}

// The three bytes of each of sixteen pixels summed, in sixteen words.
template <int Stride>
KORVEX_AVX2_KERNEL __m256i channelSums(const std::uint8_t* p)
{
    __m128i bytes[Stride];
    for (int j = 0; j < Stride; ++j)
        bytes[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
    __m256i sum = _mm256_setzero_si256();
    for (int c = 0; c < 3; ++c) {
        __m128i plane = _mm_setzero_si128();
        for (int j = 0; j < Stride; ++j)
            plane = _mm_or_si128(plane, _mm_shuffle_epi8(bytes[j], loadIndex(gather<Stride>[std::size_t(c)][std::size_t(j)])));
        sum = _mm256_add_epi16(sum, _mm256_cvtepu8_epi16(plane));
    }
    return sum;
}

struct Shades {
    __m128i mean, dimmed;
};

// floor(sum / 3) is (sum * 21846) >> 16 for sums up to 765, and the dimming
// is floor(5m / 6) = m - floor((m + 5) / 6), as the colour path's.
KORVEX_AVX2_KERNEL Shades shadesOf(__m256i sum)
{
    const __m256i mean = _mm256_mulhi_epu16(sum, _mm256_set1_epi16(21846));
    const __m256i sixths = _mm256_srli_epi16(
        _mm256_mullo_epi16(_mm256_add_epi16(mean, _mm256_set1_epi16(5)), _mm256_set1_epi16(171)), 10);
    const __m256i dimmed = _mm256_sub_epi16(mean, sixths);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(mean, dimmed), 0xD8);
    return {_mm256_castsi256_si128(packed), _mm256_extracti128_si256(packed, 1)};
}

KORVEX_AVX2_KERNEL __m128i maskIf(bool on)
{
    return _mm_set1_epi8(on ? char(0xFF) : 0);
}

template <int SA, int SB>
KORVEX_TARGET_AVX2 int fillBlocksAvx2(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out,
                                                  int width, ChannelSet fromA, ChannelSet dimmed)
{
    // Which of A's mean, A's dimmed mean, B's and B's dimmed each output channel takes.
    __m128i take[3][4];
    for (int c = 0; c < 3; ++c) {
        const bool ofA = hasChannel(fromA, c);
        const bool dim = hasChannel(dimmed, c);
        take[c][0] = maskIf(ofA && !dim);
        take[c][1] = maskIf(ofA && dim);
        take[c][2] = maskIf(!ofA && !dim);
        take[c][3] = maskIf(!ofA && dim);
    }
    int x = 0;
    for (; x + blockPixels <= width; x += blockPixels, a += blockPixels * SA, b += blockPixels * SB, out += 48) {
        const Shades shadesA = shadesOf(channelSums<SA>(a));
        const Shades shadesB = shadesOf(channelSums<SB>(b));
        __m128i plane[3];
        for (int c = 0; c < 3; ++c)
            plane[c] = _mm_or_si128(
                _mm_or_si128(_mm_and_si128(shadesA.mean, take[c][0]), _mm_and_si128(shadesA.dimmed, take[c][1])),
                _mm_or_si128(_mm_and_si128(shadesB.mean, take[c][2]), _mm_and_si128(shadesB.dimmed, take[c][3])));
        for (int k = 0; k < 3; ++k) {
            __m128i bytes = _mm_setzero_si128();
            for (int c = 0; c < 3; ++c)
                bytes = _mm_or_si128(bytes, _mm_shuffle_epi8(plane[c], loadIndex(scatter[std::size_t(c)][std::size_t(k)])));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * k), bytes);
        }
    }
    return x;
}


// The sums of sixteen pixels in sixteen 32-bit lanes: one dot product of
// each pixel's four bytes with 1, 1, 1, 0, so a pad byte counts for nothing.
template <int Stride>
KORVEX_AVX512_KERNEL __m512i channelSums512(const std::uint8_t* p)
{
    const __m512i ones = _mm512_set1_epi32(0x00010101);
    if constexpr (Stride == 4)
        return _mm512_dpbusd_epi32(_mm512_setzero_si512(), _mm512_loadu_si512(p), ones);
    // Three-byte pixels spread to four bytes each; the fourth is any byte.
    alignas(64) static constexpr std::array<std::uint8_t, 64> spread = [] {
        std::array<std::uint8_t, 64> index{};
        for (int i = 0; i < 64; ++i)
            index[std::size_t(i)] = std::uint8_t(i % 4 == 3 ? 0 : i / 4 * 3 + i % 4);
        return index;
    }();
    const __m512i bytes = _mm512_maskz_loadu_epi8(0xFFFFFFFFFFFFull, p);
    const __m512i pixels = _mm512_permutexvar_epi8(_mm512_load_si512(spread.data()), bytes);
    return _mm512_dpbusd_epi32(_mm512_setzero_si512(), pixels, ones);
}

// Where the shades of pixel p sit in the 64 bytes shadesOf512 packs: per
// 128-bit lane L = p / 4, A's four pixels' means, then B's, then the same
// dimmed.
constexpr std::uint8_t shadeByte(bool ofA, bool dim, int p)
{
    return std::uint8_t(16 * (p / 4) + p % 4 + (ofA ? 0 : 4) + (dim ? 8 : 0));
}

template <int SA, int SB>
KORVEX_TARGET_AVX512 int
fillBlocksAvx512(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int width, ChannelSet fromA,
                 ChannelSet dimmed)
{
    // Output byte 3p + c picks pixel p's shade for channel c.
    alignas(64) std::array<std::uint8_t, 64> pick{};
    for (int p = 0; p < blockPixels; ++p)
        for (int c = 0; c < 3; ++c)
            pick[std::size_t(3 * p + c)] = shadeByte(hasChannel(fromA, c), hasChannel(dimmed, c), p);
    const __m512i pickIndex = _mm512_load_si512(pick.data());
    const __m512i third = _mm512_set1_epi16(21846), five = _mm512_set1_epi16(5), sixth = _mm512_set1_epi16(171);
    int x = 0;
    for (; x + blockPixels <= width; x += blockPixels, a += blockPixels * SA, b += blockPixels * SB, out += 48) {
        const __m512i sums = _mm512_packus_epi32(channelSums512<SA>(a), channelSums512<SB>(b));
        const __m512i mean = _mm512_mulhi_epu16(sums, third);
        const __m512i dim =
            _mm512_sub_epi16(mean, _mm512_srli_epi16(_mm512_mullo_epi16(_mm512_add_epi16(mean, five), sixth), 10));
        const __m512i shades = _mm512_packus_epi16(mean, dim);
        _mm512_mask_storeu_epi8(out, 0xFFFFFFFFFFFFull, _mm512_permutexvar_epi8(pickIndex, shades));
    }
    return x;
}

}  // namespace
#endif

#if defined(__x86_64__)
namespace {

template <int SA, int SB>
int fillBlocks(SimdLevel level, const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int width,
               ChannelSet fromA, ChannelSet dimmed)
{
    if (level == SimdLevel::Avx512)
        return fillBlocksAvx512<SA, SB>(a, b, out, width, fromA, dimmed);
    if (level == SimdLevel::Avx2)
        return fillBlocksAvx2<SA, SB>(a, b, out, width, fromA, dimmed);
    return 0;
}

}  // namespace
#endif

int fillGreyRowBlocks(const std::uint8_t* a, int aStride, const std::uint8_t* b, int bStride, std::uint8_t* out,
                      int width, ChannelSet fromA, ChannelSet dimmed)
{
#if defined(__x86_64__)
    const SimdLevel level = simdLevel();
    if (aStride == 3)
        return bStride == 3 ? fillBlocks<3, 3>(level, a, b, out, width, fromA, dimmed)
                            : fillBlocks<3, 4>(level, a, b, out, width, fromA, dimmed);
    return bStride == 3 ? fillBlocks<4, 3>(level, a, b, out, width, fromA, dimmed)
                        : fillBlocks<4, 4>(level, a, b, out, width, fromA, dimmed);
#else
    return 0;
#endif
}

}  // namespace korvex
