#include "core/stereo/AlignedPair.h"

#include "core/tasks/BothCores.h"

#include <cmath>
#include <cstring>

namespace korvex {

namespace {

std::uint8_t toByte(double component)
{
    // As Bitmap::setColor rounds, so a frame holds what the anaglyph's per-pixel path would read.
    if (!(component > 0.0))
        return 0;
    if (component >= 1.0)
        return 255;
    return std::uint8_t(std::lround(component * 255.0));
}

}  // namespace

void AlignedPair::eyeRow(Eye eye, int y, std::uint8_t* rgb) const
{
    const Bitmap& source = eye == Eye::Left ? left_ : right_;
    const int x0 = eye == Eye::Left ? geometry_.ul : geometry_.ur;
    const int y0 = (eye == Eye::Left ? geometry_.vl : geometry_.vr) + y;
    const int width = this->width();
    const Bitmap::Layout& l = source.layout();
    const bool meshed8 = !l.isPlanar && l.bitsPerSample == 8;
    if (meshed8) {
        const int stride = l.bitsPerPixel / 8;
        const std::uint8_t* in = source.bitmapData() + std::size_t(y0) * l.bytesPerRow + std::size_t(x0) * stride;
        if (!isGreyColorSpace(l.colorSpace) && stride == 3) {
            std::memcpy(rgb, in, std::size_t(width) * 3);
            return;
        }
        if (!isGreyColorSpace(l.colorSpace)) {
            for (int x = 0; x < width; ++x, in += stride, rgb += 3) {
                rgb[0] = in[0];
                rgb[1] = in[1];
                rgb[2] = in[2];
            }
            return;
        }
        for (int x = 0; x < width; ++x, in += stride, rgb += 3)
            rgb[0] = rgb[1] = rgb[2] = in[0];
        return;
    }
    for (int x = 0; x < width; ++x, rgb += 3) {  // 16-bit or planar: rare, take the slow road
        const Color c = source.colorAt(x0 + x, y0);
        rgb[0] = toByte(c.red);
        rgb[1] = toByte(c.green);
        rgb[2] = toByte(c.blue);
    }
}

std::unique_ptr<Bitmap> AlignedPair::eyePicture(Eye eye) const
{
    auto picture = Bitmap::createRGBCanvas(width(), height());
    if (!picture)
        return picture;
    Bitmap& out = *picture;
    splitRowsOnBothCores(height(), (long long)width() * height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            eyeRow(eye, y, out.bitmapData() + std::size_t(y) * out.bytesPerRow());
    });
    return picture;
}

}  // namespace korvex
