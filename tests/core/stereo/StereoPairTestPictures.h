#pragma once

// Two source pictures whose pixels all differ, placed so that the overlap
// starts at a different column and row in each, and the eyes' pictures as
// the anaglyph shows them.
#include "core/compose/AnaglyphComposer.h"
#include "core/compose/OverlapGeometry.h"
#include "core/stereo/AlignedPair.h"

#include <array>
#include <memory>

namespace korvex::testing {

using Rgb = std::array<int, 3>;

inline Rgb rgbAt(const Bitmap& b, int x, int y)
{
    const std::uint8_t* p = b.bitmapData() + b.bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

inline std::unique_ptr<Bitmap> codedPicture(int w, int h, int a, int b)
{
    auto bitmap = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = bitmap->bitmapData() + bitmap->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
            p[0] = std::uint8_t(x * a + y);
            p[1] = std::uint8_t(y * b + x);
            p[2] = std::uint8_t(x * 17 + y * a * b);
        }
    return bitmap;
}

struct ShiftedPair {
    std::unique_ptr<Bitmap> left = codedPicture(41, 30, 3, 5);
    std::unique_ptr<Bitmap> right = codedPicture(37, 33, 7, 2);
    // Pins and offsets that start the overlap inside both pictures.
    OverlapGeometry geometry;

    ShiftedPair()
    {
        left->setSize({41, 30});
        right->setSize({37, 33});
        geometry = OverlapGeometry::compute(left->size(), {20, 14}, right->size(), {16, 17}, 3, -2);
    }

    AlignedPair aligned() const { return AlignedPair(*left, *right, geometry); }

    std::unique_ptr<Bitmap> anaglyph(int glasses) const
    {
        auto canvas = Bitmap::createRGBCanvas(geometry.pixelsWide(), geometry.pixelsHigh());
        AnaglyphComposer(glasses, true).compose(*left, *right, geometry, *canvas);
        return canvas;
    }

    // Red-green glasses take red from the left picture and green and blue
    // from the right; green-red glasses the other way round. Together they
    // give both eyes whole, as the anaglyph places them.
    std::unique_ptr<Bitmap> eyeFromAnaglyphs(Eye eye) const
    {
        const auto redLeft = anaglyph(1);
        const auto redRight = anaglyph(4);
        auto eyePicture = Bitmap::createRGBCanvas(geometry.pixelsWide(), geometry.pixelsHigh());
        for (int y = 0; y < eyePicture->pixelsHigh(); ++y)
            for (int x = 0; x < eyePicture->pixelsWide(); ++x) {
                const Rgb a = rgbAt(*redLeft, x, y);
                const Rgb b = rgbAt(*redRight, x, y);
                const Rgb c = eye == Eye::Left ? Rgb{a[0], b[1], b[2]} : Rgb{b[0], a[1], a[2]};
                std::uint8_t* p = eyePicture->bitmapData() + eyePicture->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
                for (int i = 0; i < 3; ++i)
                    p[i] = std::uint8_t(c[std::size_t(i)]);
            }
        return eyePicture;
    }
};

}  // namespace korvex::testing
