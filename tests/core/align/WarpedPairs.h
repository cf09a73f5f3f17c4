#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/bitmap/ImageDecoder.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>

// Stereo pairs made from one picture with a known geometry, warped here
// (bilinear, independent of the library's own resampling).
namespace korvex::testing {

inline std::unique_ptr<Bitmap> samplePicture(const std::string& name)
{
    DecodeResult decoded = decodeImageFile(std::string(KORVEX_SAMPLE_DIR) + "/" + name);
    return std::move(decoded.bitmap);
}

// Where a right pixel lies in the left picture: rotation (degrees, clockwise
// on screen) and scale about the right picture's centre, then a shift.
struct TrueMap {
    double degrees = 0.0, scale = 1.0, shiftX = 0.0, shiftY = 0.0;
    double cx = 0.0, cy = 0.0;

    double x(double px, double py) const
    {
        const double t = degrees * std::numbers::pi / 180.0;
        return scale * (std::cos(t) * (px - cx) - std::sin(t) * (py - cy)) + cx + shiftX;
    }
    double y(double px, double py) const
    {
        const double t = degrees * std::numbers::pi / 180.0;
        return scale * (std::sin(t) * (px - cx) + std::cos(t) * (py - cy)) + cy + shiftY;
    }
};

// The right picture of a pair whose left picture is `left`: each pixel takes
// the left picture's colour where the map lays it; black outside.
inline std::unique_ptr<Bitmap> warpedRight(const Bitmap& left, TrueMap& map)
{
    const int w = left.pixelsWide(), h = left.pixelsHigh();
    map.cx = (w - 1) / 2.0;
    map.cy = (h - 1) / 2.0;
    auto right = Bitmap::createRGBCanvas(w, h);
    const int step = left.bitsPerPixel() / 8;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = right->bitmapData() + std::size_t(y) * right->bytesPerRow();
        for (int x = 0; x < w; ++x) {
            const double sx = map.x(x, y), sy = map.y(x, y);
            const int x0 = int(std::floor(sx)), y0 = int(std::floor(sy));
            if (x0 < 0 || y0 < 0 || x0 + 1 >= w || y0 + 1 >= h) {
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = 0;
                continue;
            }
            const double fx = sx - x0, fy = sy - y0;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int xx, int yy) {
                    return double(left.bitmapData()[std::size_t(yy) * left.bytesPerRow() + std::size_t(xx) * step + c]);
                };
                const double v = (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy)
                                 + (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
                out[3 * x + c] = std::uint8_t(v + 0.5);
            }
        }
    }
    right->setSize(Size{double(w), double(h)});
    return right;
}

// The picture (8-bit RGB) enlarged by a whole factor (bilinear), so that a pair
// is large enough to be decoded reduced.
inline std::unique_ptr<Bitmap> enlarged(const Bitmap& picture, int factor)
{
    const int w = picture.pixelsWide() * factor, h = picture.pixelsHigh() * factor;
    auto big = Bitmap::createRGBCanvas(w, h);
    const int step = picture.bitsPerPixel() / 8;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = big->bitmapData() + std::size_t(y) * big->bytesPerRow();
        for (int x = 0; x < w; ++x) {
            const double sx = std::clamp((x + 0.5) / factor - 0.5, 0.0, picture.pixelsWide() - 1.0);
            const double sy = std::clamp((y + 0.5) / factor - 0.5, 0.0, picture.pixelsHigh() - 1.0);
            const int x0 = std::min(int(sx), picture.pixelsWide() - 2), y0 = std::min(int(sy), picture.pixelsHigh() - 2);
            const double fx = sx - x0, fy = sy - y0;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int xx, int yy) {
                    return double(picture.bitmapData()[std::size_t(yy) * picture.bytesPerRow() + std::size_t(xx) * step + c]);
                };
                const double v = (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy)
                                 + (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
                out[3 * x + c] = std::uint8_t(v + 0.5);
            }
        }
    }
    return big;
}

}  // namespace korvex::testing
