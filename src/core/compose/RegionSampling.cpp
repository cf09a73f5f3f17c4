#include "core/compose/RegionSampling.h"

#include "core/compose/AnaglyphComposer.h"
#include "core/compose/RowMixing.h"
#include "core/compose/TurnedRowSampling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// The picture's colour at a pixel in bytes, as the view's conversion rounds it.
struct Rgb {
    int c[3];
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
// reads, then across (RowMixing); the sums are those of mixFourTaps, so the bytes are.
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

// Whole pixels one for one, as a region at whole scale reads them: the
// bilinear read of a pixel centre is that pixel, so the rows are copied.
bool readsWholePixels(const PixelMap& map)
{
    return map.xi == 1 && map.yj == 1 && map.xj == 0 && map.yi == 0 && map.x0 == std::floor(map.x0)
           && map.y0 == std::floor(map.y0);
}

void copyWholePixels(const Bitmap& picture, int stride, const PixelMap& map, Bitmap& out, int begin, int end)
{
    const int outWide = out.pixelsWide();
    // Output columns [firstInside, endInside) fall on the picture; the rest are black.
    const int x0 = int(map.x0);
    const int firstInside = std::clamp(-x0, 0, outWide), endInside = std::clamp(picture.pixelsWide() - x0, firstInside, outWide);
    for (int j = begin; j < end; ++j) {
        std::uint8_t* d = out.bitmapData() + out.bytesPerRow() * std::size_t(j);
        const int y = int(map.y0) + j;
        if (y < 0 || y >= picture.pixelsHigh()) {
            std::fill(d, d + std::size_t(outWide) * 3, std::uint8_t(0));
            continue;
        }
        std::fill(d, d + std::size_t(firstInside) * 3, std::uint8_t(0));
        std::fill(d + std::size_t(endInside) * 3, d + std::size_t(outWide) * 3, std::uint8_t(0));
        const std::uint8_t* s = picture.bitmapData() + picture.bytesPerRow() * std::size_t(y) + std::size_t(x0 + firstInside) * stride;
        if (stride == 3) {
            std::memcpy(d + std::size_t(firstInside) * 3, s, std::size_t(endInside - firstInside) * 3);
            continue;
        }
        for (int i = firstInside; i < endInside; ++i, s += stride)
            std::memcpy(d + std::size_t(i) * 3, s, 3);
    }
}

// Any map over a picture of any other layout, one output pixel at a time.
void sampleAnyMap(const Bitmap& picture, const PixelMap& map, Bitmap& out, int begin, int end)
{
    const int w = picture.pixelsWide();
    const int h = picture.pixelsHigh();
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
            const Rgb p00 = rgbAt(picture, tx.first, ty.first);
            const Rgb p10 = rgbAt(picture, tx.second, ty.first);
            const Rgb p01 = rgbAt(picture, tx.first, ty.second);
            const Rgb p11 = rgbAt(picture, tx.second, ty.second);
            for (int c = 0; c < 3; ++c)
                d[c] = mixFourTaps(p00.c[c], p10.c[c], p01.c[c], p11.c[c], tx.weight, ty.weight);
        }
    }
}

// Any map over a byte picture: each row's start is found in doubles, as
// sampleAnyMap finds every position, and the row steps in 32.32 fixed point,
// whose error over a row stays under a millionth of a pixel.
void sampleAnyMapBytes(const Bitmap& picture, int stride, const PixelMap& map, Bitmap& out, int begin, int end)
{
    const BytePicture bytes{picture.bitmapData(), picture.bytesPerRow(), picture.pixelsWide(), picture.pixelsHigh(),
                            stride};
    const double one = 4294967296.0;
    for (int j = begin; j < end; ++j)
        sampleTurnedRow(bytes, std::llround((map.x0 + map.xj * j + 0.5) * one), std::llround((map.y0 + map.yj * j + 0.5) * one),
                        std::llround(map.xi * one), std::llround(map.yi * one),
                        out.bitmapData() + out.bytesPerRow() * std::size_t(j), out.pixelsWide());
}

}  // namespace

void sampleBilinear(const Bitmap& picture, const PixelMap& map, Bitmap& out, int begin, int end)
{
    if (!AnaglyphComposer::qualifiesForBytePath(picture))
        return sampleAnyMap(picture, map, out, begin, end);
    const int stride = AnaglyphComposer::bytePathStride(picture);
    if (readsWholePixels(map))
        copyWholePixels(picture, stride, map, out, begin, end);
    else if (map.isAxisAligned())
        sampleAxisAlignedBytes(picture, stride, map, out, begin, end);
    else
        sampleAnyMapBytes(picture, stride, map, out, begin, end);
}

}  // namespace korvex
