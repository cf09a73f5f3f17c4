#include "core/align/BicubicWarp.h"

#include "core/tasks/BothCores.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvex {

#if defined(__SSE2__)

namespace {

constexpr int fractionBits = 8;  // positions between pixels: 1/256
constexpr int weightBits = 14;   // a weight of 1.0
// Row sums keep 6 fraction bits so that two of them fit a 16-bit lane.
constexpr int rowSumShift = 8;
constexpr int totalShift = 2 * weightBits - rowSumShift;
constexpr int coordinateBits = 32;  // fixed point of the source positions

// The four weights for a fraction, packed as two 16-bit pairs for
// _mm_madd_epi16: (w0, w1) and (w2, w3). Each set sums to exactly 1.0, so
// flat areas stay exact.
struct CubicWeights {
    std::array<std::int32_t, 1 << fractionBits> first;
    std::array<std::int32_t, 1 << fractionBits> second;
    std::array<std::array<int, 4>, 1 << fractionBits> plain;

    CubicWeights()
    {
        constexpr double a = -0.75;
        for (int i = 0; i < (1 << fractionBits); ++i) {
            const double t = double(i) / (1 << fractionBits);
            const double w0 = ((a * (t + 1) - 5 * a) * (t + 1) + 8 * a) * (t + 1) - 4 * a;
            const double w1 = ((a + 2) * t - (a + 3)) * t * t + 1;
            const double w2 = ((a + 2) * (1 - t) - (a + 3)) * (1 - t) * (1 - t) + 1;
            std::array<int, 4>& w = plain[std::size_t(i)];
            w = {int(std::lround(w0 * (1 << weightBits))), int(std::lround(w1 * (1 << weightBits))),
                 int(std::lround(w2 * (1 << weightBits))), 0};
            w[3] = (1 << weightBits) - w[0] - w[1] - w[2];
            first[std::size_t(i)] = std::int32_t(std::uint16_t(w[0]) | (std::uint32_t(std::uint16_t(w[1])) << 16));
            second[std::size_t(i)] = std::int32_t(std::uint16_t(w[2]) | (std::uint32_t(std::uint16_t(w[3])) << 16));
        }
    }
};

const CubicWeights& cubicWeights()
{
    static const CubicWeights weights;
    return weights;
}

// Rows [firstRow, firstRow + rows held) of a source of width x height
// pixels; data points at the first of them.
struct Source {
    const std::uint8_t* data;
    std::size_t bytesPerRow;
    int width;
    int height;
    int firstRow = 0;

    const std::uint8_t* row(int y) const { return data + bytesPerRow * std::size_t(y - firstRow); }
};

// One pixel whose window lies inside the source, 16 bytes readable from its
// top-left sample in each of its four rows. Pairs of neighbouring pixels are
// interleaved byte by byte so that one multiply-add weighs both.
template <int Stride>
inline void windowPixel(const Source& s, int ix, int iy, int fx, int fy, std::uint8_t* out)
{
    const CubicWeights& w = cubicWeights();
    const __m128i zero = _mm_setzero_si128();
    const __m128i wx01 = _mm_set1_epi32(w.first[std::size_t(fx)]);
    const __m128i wx23 = _mm_set1_epi32(w.second[std::size_t(fx)]);
    __m128i rows[4];
    const std::uint8_t* p = s.row(iy - 1) + std::size_t(ix - 1) * Stride;
    for (int k = 0; k < 4; ++k, p += s.bytesPerRow) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i p01 = _mm_unpacklo_epi8(_mm_unpacklo_epi8(d, _mm_srli_si128(d, Stride)), zero);
        const __m128i p23 = _mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_srli_si128(d, 2 * Stride), _mm_srli_si128(d, 3 * Stride)), zero);
        const __m128i sum = _mm_add_epi32(_mm_madd_epi16(p01, wx01), _mm_madd_epi16(p23, wx23));
        rows[k] = _mm_srai_epi32(sum, rowSumShift);
    }
    const __m128i rows02 = _mm_packs_epi32(rows[0], rows[2]);
    const __m128i rows13 = _mm_packs_epi32(rows[1], rows[3]);
    const __m128i wy01 = _mm_set1_epi32(w.first[std::size_t(fy)]);
    const __m128i wy23 = _mm_set1_epi32(w.second[std::size_t(fy)]);
    __m128i v = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(rows02, rows13), wy01),
                              _mm_madd_epi16(_mm_unpackhi_epi16(rows02, rows13), wy23));
    v = _mm_srai_epi32(_mm_add_epi32(v, _mm_set1_epi32(1 << (totalShift - 1))), totalShift);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(v, v), zero);
    const std::int32_t pixel = _mm_cvtsi128_si32(bytes);
    std::memcpy(out, &pixel, Stride);
}

// The same sums one sample at a time, with samples outside the source as 0.
template <int Stride>
void edgePixel(const Source& s, int ix, int iy, int fx, int fy, std::uint8_t* out)
{
    const CubicWeights& w = cubicWeights();
    const std::array<int, 4>& wx = w.plain[std::size_t(fx)];
    const std::array<int, 4>& wy = w.plain[std::size_t(fy)];
    for (int c = 0; c < Stride; ++c) {
        int v = 0;
        for (int k = 0; k < 4; ++k) {
            const int y = iy - 1 + k;
            if (y < 0 || y >= s.height)
                continue;
            const std::uint8_t* row = s.row(y);
            int sum = 0;
            for (int j = 0; j < 4; ++j) {
                const int x = ix - 1 + j;
                if (x >= 0 && x < s.width)
                    sum += wx[std::size_t(j)] * row[std::size_t(x) * Stride + std::size_t(c)];
            }
            v += wy[std::size_t(k)] * (sum >> rowSumShift);
        }
        out[c] = std::uint8_t(std::clamp((v + (1 << (totalShift - 1))) >> totalShift, 0, 255));
    }
}

// Target rows [firstRow, endRow), target row y into row y - targetFirstRow of target.
template <int Stride>
void warpRows(const Source& s, const double inverse[6], Bitmap& target, int firstRow, int endRow,
              int targetFirstRow = 0)
{
    const double one = double(std::int64_t(1) << coordinateBits);
    const std::int64_t stepX = std::llround(inverse[0] * one);
    const std::int64_t stepY = std::llround(inverse[3] * one);
    // Rounds to the nearest 1/256 of a pixel.
    const std::int64_t half = std::int64_t(1) << (coordinateBits - fractionBits - 1);
    const int lastInsideX = s.width + 1 - (16 + Stride - 1) / Stride;  // 16 bytes readable from ix - 1
    const int width = target.pixelsWide();
    for (int y = firstRow; y < endRow; ++y) {
        std::uint8_t* out = target.bitmapData() + target.bytesPerRow() * std::size_t(y - targetFirstRow);
        std::int64_t sx = std::llround((inverse[1] * y + inverse[2]) * one) + half;
        std::int64_t sy = std::llround((inverse[4] * y + inverse[5]) * one) + half;
        for (int x = 0; x < width; ++x, sx += stepX, sy += stepY, out += Stride) {
            const int ix = int(sx >> coordinateBits);
            const int iy = int(sy >> coordinateBits);
            const int fx = int(sx >> (coordinateBits - fractionBits)) & ((1 << fractionBits) - 1);
            const int fy = int(sy >> (coordinateBits - fractionBits)) & ((1 << fractionBits) - 1);
            if (ix >= 1 && ix <= lastInsideX && iy >= 1 && iy + 2 < s.height)
                windowPixel<Stride>(s, ix, iy, fx, fy, out);
            else
                edgePixel<Stride>(s, ix, iy, fx, fy, out);
        }
    }
}

bool sameBytesLayout(const Bitmap::Layout& source, const Bitmap& target)
{
    return target.layout().samplesPerPixel == source.samplesPerPixel && target.bitsPerPixel() == source.bitsPerPixel
           && !target.isPlanar();
}

// Source position of each target pixel: the inverse of the forward map.
bool inverseOf(const AffineMatrix& forward, std::array<double, 6>& inverse)
{
    const std::array<double, 6>& m = forward.m;
    const double det = m[0] * m[4] - m[1] * m[3];
    if (det == 0.0)
        return false;
    inverse = {
        m[4] / det,  -m[1] / det, (m[1] * m[5] - m[4] * m[2]) / det,
        -m[3] / det, m[0] / det,  (m[3] * m[2] - m[0] * m[5]) / det,
    };
    return true;
}

}  // namespace

bool warpsBicubicBytes(const Bitmap::Layout& layout)
{
    const int stride = layout.bitsPerPixel / 8;
    return !layout.isPlanar && layout.bitsPerSample == 8 && (stride == 3 || stride == 4);
}

bool warpBicubicBytes(const Bitmap& source, const AffineMatrix& forward, Bitmap& target, std::stop_token stop)
{
    std::array<double, 6> inverse;
    if (!warpsBicubicBytes(source.layout()) || !sameBytesLayout(source.layout(), target) || !inverseOf(forward, inverse))
        return false;
    const Source s{source.bitmapData(), source.bytesPerRow(), source.pixelsWide(), source.pixelsHigh()};
    auto* rows = source.bitsPerPixel() == 24 ? &warpRows<3> : &warpRows<4>;
    // About 65,000 pixels between looks at the stop request: under a millisecond.
    const int bandRows = std::max(1, (1 << 16) / std::max(target.pixelsWide(), 1));
    splitRowsOnBothCores(target.pixelsHigh(), (long long)target.pixelsWide() * target.pixelsHigh(),
                        [&](int firstRow, int endRow) {
                            for (int y = firstRow; y < endRow && !stop.stop_requested(); y += bandRows)
                                rows(s, inverse.data(), target, y, std::min(endRow, y + bandRows), 0);
                        });
    return true;
}

SourceRowSpan sourceRowsReached(const AffineMatrix& forward, int pixelsWide, int pixelsHigh, int firstRow, int endRow)
{
    std::array<double, 6> inverse;
    if (!inverseOf(forward, inverse))
        return {0, pixelsHigh};
    // The source row is linear in the target position: its extremes lie at
    // the corners. The window reaches a row up and two down, and the fixed
    // point positions may round up to a row further.
    double low = 1e300, high = -1e300;
    for (const double x : {0.0, double(pixelsWide - 1)}) {
        for (const double y : {double(firstRow), double(endRow - 1)}) {
            const double row = inverse[3] * x + inverse[4] * y + inverse[5];
            low = std::min(low, row);
            high = std::max(high, row);
        }
    }
    const double first = std::clamp(std::floor(low) - 2.0, 0.0, double(pixelsHigh));
    const double end = std::clamp(std::floor(high) + 4.0, 0.0, double(pixelsHigh));
    return {int(first), std::max(int(first), int(end))};
}

bool warpBicubicBand(const Bitmap& sourceRows, int sourceRowsTop, int sourceHigh, const AffineMatrix& forward,
                     Bitmap& band, int bandRow, int firstRow, int count)
{
    std::array<double, 6> inverse;
    if (!warpsBicubicBytes(sourceRows.layout()) || !sameBytesLayout(sourceRows.layout(), band)
        || !inverseOf(forward, inverse))
        return false;
    const Source s{sourceRows.bitmapData(), sourceRows.bytesPerRow(), sourceRows.pixelsWide(), sourceHigh, sourceRowsTop};
    auto* rows = sourceRows.bitsPerPixel() == 24 ? &warpRows<3> : &warpRows<4>;
    rows(s, inverse.data(), band, firstRow, firstRow + count, firstRow - bandRow);
    return true;
}

#else

bool warpsBicubicBytes(const Bitmap::Layout&)
{
    return false;
}

bool warpBicubicBytes(const Bitmap&, const AffineMatrix&, Bitmap&, std::stop_token)
{
    return false;
}

SourceRowSpan sourceRowsReached(const AffineMatrix&, int, int pixelsHigh, int, int)
{
    return {0, pixelsHigh};
}

bool warpBicubicBand(const Bitmap&, int, int, const AffineMatrix&, Bitmap&, int, int, int)
{
    return false;
}

#endif

}  // namespace korvex
