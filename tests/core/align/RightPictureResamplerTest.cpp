#include "core/align/RightPictureResampler.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korvex;
using namespace korvex::testing;

namespace {

// A black picture of the layout with one bright 3x3 square centred at (x, y).
std::unique_ptr<Bitmap> spot(Bitmap::Layout layout, int x, int y)
{
    auto bitmap = Bitmap::create(layout);
    for (int plane = 0; plane < bitmap->numberOfPlanes(); ++plane)
        std::memset(bitmap->planeData(plane), 0, bitmap->planeBytes());
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            bitmap->setColor(Color::rgb(1.0, 1.0, 1.0), x + dx, y + dy);
    return bitmap;
}

// The brightness-weighted centre of the picture.
Point brightCentre(const Bitmap& bitmap)
{
    double sum = 0, sx = 0, sy = 0;
    for (int y = 0; y < bitmap.pixelsHigh(); ++y)
        for (int x = 0; x < bitmap.pixelsWide(); ++x) {
            const double v = std::max(0.0, bitmap.colorAt(x, y).white());
            sum += v;
            sx += v * x;
            sy += v * y;
        }
    return {sx / sum, sy / sum};
}

struct MovedSpot {
    const char* name;
    RightCorrection correction;
    Point expected;  // the spot starts 20 pixels right of the centre (40, 30)
};

TEST(RightPictureResampler, MovesPixelsAsTheCorrectionSays)
{
    const MovedSpot cases[] = {
        {"nothing", {}, {60, 30}},
        {"quarter turn clockwise on screen: right goes down", {90.0, 1.0, 0.0, 0.0}, {40, 50}},
        {"quarter turn the other way: right goes up", {-90.0, 1.0, 0.0, 0.0}, {40, 10}},
        {"half size towards the centre", {0.0, 0.5, 0.0, 0.0}, {50, 30}},
        {"a fraction of a pixel across and down", {0.0, 1.0, 0.25, -0.5}, {60.25, 29.5}},
    };
    Bitmap::Layout layouts[4];
    layouts[0] = Bitmap::Layout{81, 61};
    layouts[1] = Bitmap::Layout{81, 61, 16, 1, false, false, ColorSpace::DeviceWhite};
    layouts[2] = Bitmap::Layout{81, 61, 8, 3, false, true};
    layouts[3] = Bitmap::Layout{81, 61, 8, 4, true};
    for (const Bitmap::Layout& layout : layouts) {
        const auto original = spot(layout, 60, 30);
        for (const MovedSpot& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(layout.samplesPerPixel) + " samples of "
                         + std::to_string(layout.bitsPerSample) + (layout.isPlanar ? " bits, planar" : " bits"));
            const auto corrected = resampleRightPicture(*original, c.correction);
            ASSERT_TRUE(corrected);
            EXPECT_EQ(corrected->layout().samplesPerPixel, layout.samplesPerPixel);
            EXPECT_EQ(corrected->isPlanar(), layout.isPlanar);
            const Point centre = brightCentre(*corrected);
            EXPECT_NEAR(centre.x, c.expected.x, 0.05);
            EXPECT_NEAR(centre.y, c.expected.y, 0.05);
        }
    }
}

TEST(RightPictureResampler, LeavesWhatComesFromOutsideBlackAndTransparent)
{
    auto original = solidCanvas(40, 40, 1.0, 1.0, 1.0);
    Bitmap::Layout rgba{40, 40, 8, 4, true};
    auto withAlpha = Bitmap::create(rgba);
    std::memset(withAlpha->bitmapData(), 255, withAlpha->planeBytes());
    for (const Bitmap* picture : {original.get(), withAlpha.get()}) {
        const auto turned = resampleRightPicture(*picture, RightCorrection{45.0, 1.0, 0.0, 0.0});
        ASSERT_TRUE(turned);
        const Color corner = turned->colorAt(0, 0);
        EXPECT_EQ(corner.red, 0.0);
        EXPECT_EQ(corner.alpha, picture->hasAlpha() ? 0.0 : 1.0);
        EXPECT_EQ(turned->colorAt(20, 20).red, 1.0);
    }
}

}  // namespace
