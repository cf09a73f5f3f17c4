#include "core/compose/RegionSampling.h"

#include "core/compose/AnaglyphComposer.h"
#include "core/compose/RowMixing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace korvex {

PixelMap PixelMap::onLevel(int k) const
{
    const double s = std::ldexp(1.0, -k);
    return {(x0 + 0.5) * s - 0.5, xi * s, xj * s, (y0 + 0.5) * s - 0.5, yi * s, yj * s};
}

PixelMap PixelMap::then(const AffineMatrix& a) const
{
    return {a.mapX(x0, y0), a.m[0] * xi + a.m[1] * yi, a.m[0] * xj + a.m[1] * yj,
            a.mapY(x0, y0), a.m[3] * xi + a.m[4] * yi, a.m[3] * xj + a.m[4] * yj};
}

namespace {

// Where one coordinate reads: the two taps (clamped into 0 to size - 1) and
// the second one's weight, or nothing when the centre lies outside.
struct Taps {
    int first = 0, second = 0, weight = 0;
    bool inside = false;

    Taps(double at, int size)
    {
        if (at < -0.5 || at > size - 0.5)
            return;
        inside = true;
        // floor(at), without the library call plain x86-64 makes for std::floor.
        const int truncated = int(at);
        const int whole = truncated - (at < double(truncated) ? 1 : 0);
        weight = int((at - double(whole)) * 256.0 + 0.5);
        first = std::clamp(whole, 0, size - 1);
        second = std::clamp(whole + 1, 0, size - 1);
    }
};

std::uint8_t mix(int p00, int p10, int p01, int p11, int wx, int wy)
{
    const int top = p00 * (256 - wx) + p10 * wx;
    const int bottom = p01 * (256 - wx) + p11 * wx;
    return std::uint8_t((top * (256 - wy) + bottom * wy + (1 << 15)) >> 16);
}

// The picture's colour at a pixel in bytes, as the view's conversion rounds it.
struct Rgb {
    int c[3];
    int operator[](int i) const { return c[i]; }
};

Rgb rgbAt(const Bitmap& b, int x, int y)
{
    const Color c = b.colorAt(x, y);
    const auto byteOf = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return {{byteOf(c.red), byteOf(c.green), byteOf(c.blue)}};
}

// Without a rotation every row reads the same columns: their taps and
// weights are found once (a centre outside weighs nothing, so it is black).
// Each output row mixes its two source rows down, over the columns any tap
// reads, then across (RowMixing); the sums are those of mix(), so the bytes are.
void sampleAxisAlignedBytes(const Bitmap& picture, int stride, const PixelMap& map, Bitmap& out, int begin, int end)
{
    const int outWide = out.pixelsWide();
    std::vector<Taps> taps;
    taps.reserve(std::size_t(outWide));
    int lo = picture.pixelsWide(), hi = -1;
    for (int i = 0; i < outWide; ++i) {
        taps.emplace_back(map.x0 + map.xi * i, picture.pixelsWide());
        if (taps.back().inside) {
            lo = std::min(lo, taps.back().first);
            hi = std::max(hi, taps.back().second);
        }
    }
    const auto rowOf = [&](int j) { return out.bitmapData() + out.bytesPerRow() * std::size_t(j); };
    const std::size_t rowBytes = std::size_t(outWide) * 3;
    if (hi < 0) {
        for (int j = begin; j < end; ++j)
            std::fill(rowOf(j), rowOf(j) + rowBytes, std::uint8_t(0));
        return;
    }
    std::vector<ColumnTaps::Column> columns;
    columns.reserve(taps.size());
    for (const Taps& t : taps)
        columns.push_back({std::uint32_t(std::max(t.first - lo, 0) * stride), std::uint32_t(std::max(t.second - lo, 0) * stride),
                           std::uint16_t(t.inside ? 256 - t.weight : 0), std::uint16_t(t.inside ? t.weight : 0)});
    const ColumnTaps across(std::move(columns));
    const std::size_t span = std::size_t(hi - lo + 1) * std::size_t(stride);
    std::vector<std::uint16_t> mixed(across.valuesToRead(span));
    const std::size_t left = std::size_t(lo) * std::size_t(stride);
    for (int j = begin; j < end; ++j) {
        const Taps row(map.y0 + map.yj * j, picture.pixelsHigh());
        if (!row.inside) {
            std::fill(rowOf(j), rowOf(j) + rowBytes, std::uint8_t(0));
            continue;
        }
        mixDown(picture.bitmapData() + picture.bytesPerRow() * std::size_t(row.first) + left,
                picture.bitmapData() + picture.bytesPerRow() * std::size_t(row.second) + left, row.weight, mixed.data(),
                span);
        across.mixAcross(mixed.data(), rowOf(j));
    }
}

// Any map, one output pixel at a time. `at(x, y)` gives a pixel's three
// channel values; for byte pictures it points at them in place, inlined.
template <typename At>
void sampleAnyMap(int w, int h, At at, const PixelMap& map, Bitmap& out, int begin, int end)
{
    const int outWide = out.pixelsWide();
    for (int j = begin; j < end; ++j) {
        std::uint8_t* d = out.bitmapData() + out.bytesPerRow() * std::size_t(j);
        for (int i = 0; i < outWide; ++i, d += 3) {
            const Taps tx(map.x0 + map.xi * i + map.xj * j, w);
            const Taps ty(map.y0 + map.yi * i + map.yj * j, h);
            if (!tx.inside || !ty.inside) {
                d[0] = d[1] = d[2] = 0;
                continue;
            }
            const auto p00 = at(tx.first, ty.first);
            const auto p10 = at(tx.second, ty.first);
            const auto p01 = at(tx.first, ty.second);
            const auto p11 = at(tx.second, ty.second);
            for (int c = 0; c < 3; ++c)
                d[c] = mix(p00[c], p10[c], p01[c], p11[c], tx.weight, ty.weight);
        }
    }
}

// Where a coordinate reads, from its position plus half a pixel in 32.32
// fixed point (a centre inside the picture lies in 0 to size): the taps as
// Taps finds them, the weight rounded in the same step, so a weight of 256
// reads the next pixel whole, as Taps's does.
struct FixedTaps {
    int first, second, weight;

    FixedTaps(std::int64_t shifted, int size)
    {
        const std::int64_t q = (shifted - (std::int64_t(1) << 31) + (std::int64_t(1) << 23)) >> 24;  // round(at * 256)
        const int whole = int(q >> 8);
        weight = int(q & 255);
        first = std::clamp(whole, 0, size - 1);
        second = std::clamp(whole + 1, 0, size - 1);
    }
};

// Any map over a byte picture: each row's start is found in doubles, as
// sampleAnyMap finds every position, and the row steps in 32.32 fixed point,
// whose error over a row stays under a millionth of a pixel.
template <int Stride>
void sampleAnyMapBytes(const Bitmap& picture, const PixelMap& map, Bitmap& out, int begin, int end)
{
    const std::uint8_t* const pixels = picture.bitmapData();
    const std::size_t bytesPerRow = picture.bytesPerRow();
    const int w = picture.pixelsWide(), h = picture.pixelsHigh();
    const double one = 4294967296.0;
    const std::int64_t stepX = std::llround(map.xi * one), stepY = std::llround(map.yi * one);
    const std::uint64_t endX = std::uint64_t(w) << 32, endY = std::uint64_t(h) << 32;
    const int outWide = out.pixelsWide();
    for (int j = begin; j < end; ++j) {
        std::uint8_t* d = out.bitmapData() + out.bytesPerRow() * std::size_t(j);
        std::int64_t sx = std::llround((map.x0 + map.xj * j + 0.5) * one);
        std::int64_t sy = std::llround((map.y0 + map.yj * j + 0.5) * one);
        for (int i = 0; i < outWide; ++i, d += 3, sx += stepX, sy += stepY) {
            if (std::uint64_t(sx) > endX || std::uint64_t(sy) > endY) {
                d[0] = d[1] = d[2] = 0;
                continue;
            }
            const FixedTaps tx(sx, w), ty(sy, h);
            const std::uint8_t* top = pixels + bytesPerRow * std::size_t(ty.first);
            const std::uint8_t* bottom = pixels + bytesPerRow * std::size_t(ty.second);
            const std::uint8_t* p00 = top + std::size_t(tx.first) * Stride;
            const std::uint8_t* p10 = top + std::size_t(tx.second) * Stride;
            const std::uint8_t* p01 = bottom + std::size_t(tx.first) * Stride;
            const std::uint8_t* p11 = bottom + std::size_t(tx.second) * Stride;
            for (int c = 0; c < 3; ++c)
                d[c] = mix(p00[c], p10[c], p01[c], p11[c], tx.weight, ty.weight);
        }
    }
}

}  // namespace

void sampleBilinear(const Bitmap& picture, const PixelMap& map, Bitmap& out, int begin, int end)
{
    if (!AnaglyphComposer::qualifiesForBytePath(picture)) {
        const auto at = [&](int x, int y) { return rgbAt(picture, x, y); };
        sampleAnyMap(picture.pixelsWide(), picture.pixelsHigh(), at, map, out, begin, end);
        return;
    }
    const int stride = AnaglyphComposer::bytePathStride(picture);
    if (map.isAxisAligned())
        sampleAxisAlignedBytes(picture, stride, map, out, begin, end);
    else if (stride == 3)
        sampleAnyMapBytes<3>(picture, map, out, begin, end);
    else
        sampleAnyMapBytes<4>(picture, map, out, begin, end);
}

}  // namespace korvex
