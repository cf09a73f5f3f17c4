#include "core/stereo/Squeeze.h"

#include "core/simd/SimdLevel.h"
#include "core/simd/PixelPermutes.h"
#include "core/simd/SimdTargets.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace korvex {

namespace {

constexpr double lobes = 3.0;

double sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double lanczos(double x)
{
    return std::abs(x) < lobes ? sinc(x) * sinc(x / lobes) : 0.0;
}

std::uint8_t clampToByte(std::int32_t sum)
{
    const std::int32_t v = (sum + Squeeze::one / 2) >> Squeeze::fractionBits;
    return std::uint8_t(std::clamp(v, 0, 255));
}

// Whole chunks of a fixed length, which the compiler vectorises; the tail
// one value at a time.
constexpr std::size_t chunk = 64;

void addWeighted(const std::uint8_t* __restrict row, std::int32_t weight, std::int32_t* __restrict sums, std::size_t n)
{
    std::size_t x = 0;
    for (; x + chunk <= n; x += chunk)
        for (std::size_t i = 0; i < chunk; ++i)
            sums[x + i] += weight * row[x + i];
    for (; x < n; ++x)
        sums[x] += weight * row[x];
}

void toBytes(const std::int32_t* __restrict sums, std::uint8_t* __restrict out, std::size_t n)
{
    std::size_t x = 0;
    for (; x + chunk <= n; x += chunk)
        for (std::size_t i = 0; i < chunk; ++i)
            out[x + i] = clampToByte(sums[x + i]);
    for (; x < n; ++x)
        out[x] = clampToByte(sums[x]);
}

}  // namespace

Squeeze::Squeeze(int from, int to, int begin, int end)
{
    const double scale = double(from) / double(to);
    const double radius = lobes * scale;
    start_.push_back(0);
    std::vector<double> taps;
    for (int i = begin; i < end; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int lo = int(std::ceil(centre - radius));
        const int hi = int(std::floor(centre + radius));
        const int firstInput = std::clamp(lo, 0, from - 1);
        const int lastInput = std::clamp(hi, 0, from - 1);
        taps.assign(std::size_t(lastInput - firstInput + 1), 0.0);
        double total = 0.0;
        for (int j = lo; j <= hi; ++j) {
            const double w = lanczos((j - centre) / scale);
            taps[std::size_t(std::clamp(j, 0, from - 1) - firstInput)] += w;
            total += w;
        }
        // Rounded weights, with the rounding's remainder put on the largest, so flat areas stay exact.
        std::int32_t sum = 0;
        std::size_t largest = 0;
        const std::size_t base = weights_.size();
        for (std::size_t k = 0; k < taps.size(); ++k) {
            const auto w = std::int32_t(std::lround(taps[k] / total * one));
            weights_.push_back(w);
            sum += w;
            if (taps[k] > taps[largest])
                largest = k;
        }
        weights_[base + largest] += one - sum;
        first_.push_back(firstInput);
        start_.push_back(weights_.size());
    }
    for (int b = 0; b + laneCount <= outputs(); b += laneCount) {
        const std::size_t taps = weights(b).size();
        bool even = true;
        for (int l = 1; l < laneCount && even; ++l)
            even = first(b + l) == first(b) + 2 * l && weights(b + l).size() == taps;
        laneBlocks_.push_back(even ? LaneBlock{laneWeights_.size(), int(taps)} : LaneBlock{});
        for (std::size_t k = 0; even && k < taps; ++k)
            for (int l = 0; l < laneCount; ++l)
                laneWeights_.push_back(weights(b + l)[k]);
    }
}

std::span<const std::int32_t> Squeeze::weights(int i) const
{
    const std::size_t b = start_[std::size_t(i)];
    return {weights_.data() + b, start_[std::size_t(i) + 1] - b};
}

void Squeeze::squeezeOne(int i, const std::uint8_t* in, std::uint8_t* out, int inFrom) const
{
    const std::span<const std::int32_t> w = weights(i);
    const std::uint8_t* p = in + std::size_t(first(i) - inFrom) * 3;
    std::int32_t r = 0, g = 0, b = 0;
    for (std::size_t k = 0; k < w.size(); ++k, p += 3) {
        r += w[k] * p[0];
        g += w[k] * p[1];
        b += w[k] * p[2];
    }
    out[0] = clampToByte(r);
    out[1] = clampToByte(g);
    out[2] = clampToByte(b);
}

void Squeeze::squeezeRow(const std::uint8_t* in, std::uint8_t* out, int inFrom) const
{
#if defined(__x86_64__)
    if (!laneWeights_.empty() && simdLevel() == SimdLevel::Avx512)
        return squeezeRowAvx512(in, out, inFrom);
#endif
    for (int i = 0; i < outputs(); ++i)
        squeezeOne(i, in, out + std::size_t(i) * 3, inFrom);
}

#if defined(__x86_64__)
namespace {

// Sixteen three-byte pixels' bytes regrouped: channel by channel, the even
// pixels' then the odd ones', eight bytes each.
constexpr std::array<std::uint8_t, 64> byChannelAndParity()
{
    std::array<std::uint8_t, 64> index{};
    for (int c = 0; c < 3; ++c)
        for (int parity = 0; parity < 2; ++parity)
            for (int j = 0; j < 8; ++j)
                index[std::size_t(16 * c + 8 * parity + j)] = std::uint8_t((2 * j + parity) * 3 + c);
    return index;
}
alignas(64) constexpr auto regroup = byChannelAndParity();


}  // namespace

// The row's inputs as six planes of 32-bit values, by channel and by the
// parity of their place: a lane block's outputs read tap k of each lane from
// consecutive values of one plane.
KORVEX_TARGET_AVX512 void Squeeze::squeezeRowAvx512(const std::uint8_t* in, std::uint8_t* out, int inFrom) const
{
    const int span = last(outputs() - 1) - first(0) + 1;
    const std::size_t planeLength = std::size_t(span + 1) / 2 + laneCount;
    // Kept per thread and grown only: a frame squeezes thousands of rows.
    thread_local std::vector<std::int32_t> planes;
    if (planes.size() < 6 * planeLength)
        planes.resize(6 * planeLength);
    const auto plane = [&](int c, int parity) { return planes.data() + std::size_t(2 * c + parity) * planeLength; };
    const std::uint8_t* row = in + std::size_t(first(0) - inFrom) * 3;
    const __m512i regroupIndex = _mm512_load_si512(regroup.data());
    for (int r = 0; r < span; r += laneCount) {
        const int pixels = std::min(laneCount, span - r);
        const __mmask64 bytes = ~0ull >> (64 - 3 * pixels);
        const __m512i grouped = _mm512_permutexvar_epi8(regroupIndex, _mm512_maskz_loadu_epi8(bytes, row + std::size_t(r) * 3));
        const __m128i channels[3] = {_mm512_extracti32x4_epi32(grouped, 0), _mm512_extracti32x4_epi32(grouped, 1),
                                     _mm512_extracti32x4_epi32(grouped, 2)};
        for (int c = 0; c < 3; ++c) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(plane(c, 0) + r / 2), _mm256_cvtepu8_epi32(channels[c]));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(plane(c, 1) + r / 2),
                                _mm256_cvtepu8_epi32(_mm_srli_si128(channels[c], 8)));
        }
    }
    const __m512i half = _mm512_set1_epi32(one / 2), zero = _mm512_setzero_si512(), top = _mm512_set1_epi32(255);
    const __m512i packIndex = _mm512_load_si512(packPixelsFromLanes.data());
    for (int b = 0; b < outputs(); b += laneCount) {
        const std::size_t block = std::size_t(b / laneCount);
        if (block >= laneBlocks_.size() || laneBlocks_[block].taps == 0) {
            for (int i = b; i < std::min(outputs(), b + laneCount); ++i)
                squeezeOne(i, in, out + std::size_t(i) * 3, inFrom);
            continue;
        }
        const LaneBlock& lanes = laneBlocks_[block];
        const std::int32_t* w = laneWeights_.data() + lanes.weightsAt;
        __m512i sums[3] = {zero, zero, zero};
        for (int k = 0; k < lanes.taps; ++k, w += laneCount) {
            const __m512i weight = _mm512_loadu_si512(w);
            const int at = first(b) - first(0) + k;
            for (int c = 0; c < 3; ++c) {
                const __m512i values = _mm512_loadu_si512(plane(c, at & 1) + at / 2);
                sums[c] = _mm512_add_epi32(sums[c], _mm512_mullo_epi32(values, weight));
            }
        }
        __m512i pixels = zero;
        for (int c = 0; c < 3; ++c) {
            const __m512i v = _mm512_min_epi32(_mm512_max_epi32(_mm512_srai_epi32(_mm512_add_epi32(sums[c], half), fractionBits), zero), top);
            pixels = _mm512_or_si512(pixels, _mm512_slli_epi32(v, 8 * c));
        }
        _mm512_mask_storeu_epi8(out + std::size_t(b) * 3, 0xFFFFFFFFFFFFull, _mm512_permutexvar_epi8(packIndex, pixels));
    }
}
#endif

void Squeeze::squeezeColumnsInto(int i, const std::uint8_t* const* inputRows, std::size_t bytes,
                                 std::int32_t* sums, std::uint8_t* out) const
{
    // Row by row, so the inner loop runs along memory.
    const std::span<const std::int32_t> w = weights(i);
    std::fill(sums, sums + bytes, 0);
    for (std::size_t k = 0; k < w.size(); ++k)
        addWeighted(inputRows[k], w[k], sums, bytes);
    toBytes(sums, out, bytes);
}

}  // namespace korvex
