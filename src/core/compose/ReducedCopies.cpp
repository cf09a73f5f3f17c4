#include "core/compose/ReducedCopies.h"

#include "core/compose/AnaglyphComposer.h"
#include "core/tasks/BothCores.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvex {

namespace {

// Output rows [begin, end) of the halving of 8-bit meshed pixels of `stride`
// bytes (RGB first) into RGB.
void halveBytes(const std::uint8_t* source, std::size_t sourceBytesPerRow, int stride, Bitmap& out, int begin, int end)
{
    const int w = out.pixelsWide();
    for (int y = begin; y < end; ++y) {
        const std::uint8_t* r0 = source + sourceBytesPerRow * std::size_t(2 * y);
        const std::uint8_t* r1 = r0 + sourceBytesPerRow;
        std::uint8_t* d = out.bitmapData() + out.bytesPerRow() * std::size_t(y);
        for (int x = 0; x < w; ++x, r0 += 2 * stride, r1 += 2 * stride, d += 3) {
            for (int c = 0; c < 3; ++c)
                d[c] = std::uint8_t((r0[c] + r0[stride + c] + r1[c] + r1[stride + c] + 2) >> 2);
        }
    }
}

// Any other layout: each pixel's colour rounded to bytes first, as the view's
// conversion does, then the same mean.
void halveColours(const Bitmap& source, Bitmap& out, int begin, int end)
{
    const auto byteOf = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    const int w = out.pixelsWide();
    for (int y = begin; y < end; ++y) {
        std::uint8_t* d = out.bitmapData() + out.bytesPerRow() * std::size_t(y);
        for (int x = 0; x < w; ++x, d += 3) {
            int sums[3] = {0, 0, 0};
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const Color c = source.colorAt(2 * x + dx, 2 * y + dy);
                    sums[0] += byteOf(c.red);
                    sums[1] += byteOf(c.green);
                    sums[2] += byteOf(c.blue);
                }
            }
            for (int c = 0; c < 3; ++c)
                d[c] = std::uint8_t((sums[c] + 2) >> 2);
        }
    }
}

std::unique_ptr<Bitmap> halve(const Bitmap& source)
{
    auto out = Bitmap::createRGBCanvas(source.pixelsWide() / 2, source.pixelsHigh() / 2);
    if (!out)
        return nullptr;
    const bool bytes = AnaglyphComposer::qualifiesForBytePath(source);
    const int stride = AnaglyphComposer::bytePathStride(source);
    splitRowsOnBothCores(out->pixelsHigh(), (long long)out->pixelsWide() * out->pixelsHigh(), [&](int begin, int end) {
        if (bytes)
            halveBytes(source.bitmapData(), source.bytesPerRow(), stride, *out, begin, end);
        else
            halveColours(source, *out, begin, end);
    });
    return out;
}

}  // namespace

std::shared_ptr<const ReducedCopies> ReducedCopies::make(const Bitmap& picture, std::stop_token stop)
{
    auto copies = std::make_shared<ReducedCopies>();
    const Bitmap* above = &picture;
    while (above->pixelsWide() >= 2 && above->pixelsHigh() >= 2) {
        if (stop.stop_requested())
            return nullptr;
        std::unique_ptr<Bitmap> next = halve(*above);
        if (!next)
            return nullptr;
        copies->levels_.push_back(std::move(next));
        above = copies->levels_.back().get();
    }
    return copies;
}

}  // namespace korvex
