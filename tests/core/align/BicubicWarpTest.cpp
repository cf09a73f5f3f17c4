#include "core/align/BicubicWarp.h"

#include "core/align/RightPictureResampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stop_token>
#include <string>

using namespace korvex;

namespace {

// Keys's cubic (a = -0.75) written out in double precision, at the exact
// source position, with samples outside the picture as 0.
double keys(double d)
{
    constexpr double a = -0.75;
    d = std::abs(d);
    if (d <= 1)
        return ((a + 2) * d - (a + 3)) * d * d + 1;
    if (d < 2)
        return ((a * d - 5 * a) * d + 8 * a) * d - 4 * a;
    return 0;
}

int referenceSample(const Bitmap& source, const AffineMatrix& forward, int x, int y, int sample)
{
    const auto& m = forward.m;
    const double det = m[0] * m[4] - m[1] * m[3];
    const double dx = x - m[2];
    const double dy = y - m[5];
    const double sx = (m[4] * dx - m[1] * dy) / det;
    const double sy = (m[0] * dy - m[3] * dx) / det;
    const int stride = source.bitsPerPixel() / 8;
    double sum = 0;
    for (int k = int(std::floor(sy)) - 1; k <= int(std::floor(sy)) + 2; ++k) {
        for (int j = int(std::floor(sx)) - 1; j <= int(std::floor(sx)) + 2; ++j) {
            if (j < 0 || k < 0 || j >= source.pixelsWide() || k >= source.pixelsHigh())
                continue;
            const std::uint8_t v = source.bitmapData()[source.bytesPerRow() * std::size_t(k) + std::size_t(j * stride + sample)];
            sum += keys(sx - j) * keys(sy - k) * v;
        }
    }
    return int(std::lround(std::clamp(sum, 0.0, 255.0)));
}

struct WarpCase {
    const char* name;
    RightCorrection correction;
};

}  // namespace

// Every pixel and sample, inside and along the edges, against the formula:
// within one step (positions are taken to 1/256 of a pixel), and exactly for
// whole-pixel moves.
TEST(BicubicWarp, MatchesKeysCubicAtEveryPixel)
{
    const WarpCase cases[] = {
        {"identity", {}},
        {"whole pixels", {0.0, 1.0, 2.0, -3.0}},
        {"fractions", {0.0, 1.0, 0.37, -0.81}},
        {"turn", {3.0, 1.0, 0.0, 0.0}},
        {"turn, shrink and shift", {-5.0, 0.97, 0.3, 0.6}},
        {"enlarge", {1.1, 1.03, -0.2, 0.1}},
    };
    Bitmap::Layout layouts[3];
    layouts[0] = Bitmap::Layout{53, 41};
    layouts[1] = Bitmap::Layout{53, 41, 8, 4, true};
    layouts[2] = Bitmap::Layout{53, 41, 8, 3};
    layouts[2].bitsPerPixel = 32;
    std::mt19937 random(21);
    for (const Bitmap::Layout& layout : layouts) {
        auto source = Bitmap::create(layout);
        for (std::size_t i = 0; i < source->totalBytes(); ++i)
            source->bitmapData()[i] = std::uint8_t(random());
        const int stride = source->bitsPerPixel() / 8;
        for (const WarpCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(source->bitsPerPixel()) + " bits");
            const AffineMatrix forward = c.correction.matrixFor(layout.pixelsWide, layout.pixelsHigh);
            auto target = Bitmap::create(layout);
            ASSERT_TRUE(warpBicubicBytes(*source, forward, *target));
            const bool whole = c.correction.rotationDegrees == 0.0 && c.correction.scale == 1.0
                               && c.correction.shiftX == std::floor(c.correction.shiftX)
                               && c.correction.shiftY == std::floor(c.correction.shiftY);
            int worst = 0;
            for (int y = 0; y < layout.pixelsHigh; ++y) {
                for (int x = 0; x < layout.pixelsWide; ++x) {
                    for (int s = 0; s < layout.samplesPerPixel; ++s) {
                        const int got = target->bitmapData()[target->bytesPerRow() * std::size_t(y) + std::size_t(x * stride + s)];
                        worst = std::max(worst, std::abs(got - referenceSample(*source, forward, x, y, s)));
                    }
                }
            }
            EXPECT_LE(worst, whole ? 0 : 1);
        }
    }
}

TEST(BicubicWarp, LeavesOtherLayoutsToItsCaller)
{
    const Bitmap::Layout others[] = {
        Bitmap::Layout{9, 7, 8, 1, false, false, ColorSpace::DeviceWhite},
        Bitmap::Layout{9, 7, 16, 3},
        Bitmap::Layout{9, 7, 8, 3, false, true},
    };
    for (const Bitmap::Layout& layout : others) {
        const auto source = Bitmap::create(layout);
        auto target = Bitmap::create(layout);
        EXPECT_FALSE(warpBicubicBytes(*source, RightCorrection{1.0}.matrixFor(9, 7), *target));
    }
}

TEST(BicubicWarp, AStopRequestLeavesTheRowsUnwritten)
{
    // Tall enough for several bands between looks at the request.
    const int w = 300, h = 6000;
    const Bitmap::Layout layout{w, h, 8, 3};
    const auto source = Bitmap::create(layout);
    std::fill(source->bitmapData(), source->bitmapData() + source->totalBytes(), std::uint8_t(200));
    const AffineMatrix turn = RightCorrection{1.0}.matrixFor(w, h);
    std::stop_source stop;
    stop.request_stop();
    auto target = Bitmap::create(layout);
    std::fill(target->bitmapData(), target->bitmapData() + target->totalBytes(), std::uint8_t(7));
    EXPECT_TRUE(warpBicubicBytes(*source, turn, *target, stop.get_token()));
    EXPECT_TRUE(std::all_of(target->bitmapData(), target->bitmapData() + target->totalBytes(),
                            [](std::uint8_t v) { return v == 7; }));
    EXPECT_FALSE(resampleRightPicture(*source, RightCorrection{1.0}, stop.get_token()));
    // Unstopped, every row is written.
    EXPECT_TRUE(warpBicubicBytes(*source, turn, *target));
    EXPECT_EQ(target->bitmapData()[target->bytesPerRow() * std::size_t(h - h / 3) + std::size_t(w / 2) * 3], 200);
}
