#include "core/compose/AnaglyphComposer.h"
#include "core/simd/SimdLevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>

using namespace korvex;

namespace {

using Rgb = std::array<int, 3>;

std::unique_ptr<Bitmap> makeBitmap(int w, int h, int samples, int bitsPerPixel, bool alpha = false,
                                   ColorSpace space = ColorSpace::CalibratedRGB, int bitsPerSample = 8,
                                   bool planar = false)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = samples;
    layout.bitsPerPixel = bitsPerPixel;
    layout.hasAlpha = alpha;
    layout.colorSpace = space;
    layout.bitsPerSample = bitsPerSample;
    layout.isPlanar = planar;
    auto bitmap = Bitmap::create(layout);
    std::memset(bitmap->bitmapData(), 0xEE, bitmap->totalBytes());  // padding that must never show
    return bitmap;
}

std::unique_ptr<Bitmap> onePixel(Rgb c, int samples = 3, int bitsPerPixel = 24)
{
    auto bitmap = makeBitmap(1, 1, samples, bitsPerPixel, samples == 4);
    for (int i = 0; i < 3; ++i)
        bitmap->bitmapData()[i] = std::uint8_t(c[i]);
    return bitmap;
}

Rgb pixel(const Bitmap& b, int x, int y)
{
    const std::uint8_t* p = b.bitmapData() + b.bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

Rgb composeOne(const Bitmap& left, const Bitmap& right, int glasses, bool colorize)
{
    const OverlapGeometry g = OverlapGeometry::compute(left.size(), {0.5, 0.5}, right.size(), {0.5, 0.5}, 0, 0);
    auto result = Bitmap::createRGBCanvas(1, 1);
    AnaglyphComposer(glasses, colorize).compose(left, right, g, *result);
    return pixel(*result, 0, 0);
}

TEST(AnaglyphComposer, BytePathMapsChannelsForEveryGlassesType)
{
    const auto left = onePixel({30, 60, 90});
    const auto right = onePixel({10, 20, 31});
    // Black and white: integer means, the green-blue mean dimmed by 1.2 for cyan.
    EXPECT_EQ(composeOne(*left, *right, 1, false), (Rgb{60, 20, 20}));
    EXPECT_EQ(composeOne(*left, *right, 2, false), (Rgb{60, 16, 16}));
    EXPECT_EQ(composeOne(*left, *right, 3, false), (Rgb{60, 20, 20}));
    EXPECT_EQ(composeOne(*left, *right, 4, false), (Rgb{20, 60, 60}));
    EXPECT_EQ(composeOne(*left, *right, 5, false), (Rgb{20, 50, 50}));
    EXPECT_EQ(composeOne(*left, *right, 6, false), (Rgb{20, 60, 60}));
    // Colour: red from the red-channel picture, green and blue from the other.
    EXPECT_EQ(composeOne(*left, *right, 1, true), (Rgb{30, 20, 31}));
    EXPECT_EQ(composeOne(*left, *right, 2, true), (Rgb{30, 16, 25}));
    EXPECT_EQ(composeOne(*left, *right, 3, true), (Rgb{30, 20, 31}));
    EXPECT_EQ(composeOne(*left, *right, 4, true), (Rgb{10, 60, 90}));
    EXPECT_EQ(composeOne(*left, *right, 5, true), (Rgb{10, 50, 75}));
    EXPECT_EQ(composeOne(*left, *right, 6, true), (Rgb{10, 60, 90}));

    const auto cyan = onePixel({0, 255, 255});
    EXPECT_EQ(composeOne(*left, *cyan, 2, true), (Rgb{30, 212, 212}));
    // Means round down: (1 + 1 + 0) / 3 is 0.
    EXPECT_EQ(composeOne(*onePixel({1, 1, 0}), *onePixel({2, 2, 1}), 1, false), (Rgb{0, 1, 1}));
}

TEST(AnaglyphComposer, PathChoiceFollowsTheLayouts)
{
    using P = AnaglyphComposer::Path;
    const auto rgb24 = makeBitmap(2, 2, 3, 24);
    const auto rgbPadded = makeBitmap(2, 2, 3, 32);
    const auto rgba = makeBitmap(2, 2, 4, 32, true);
    const auto grey = makeBitmap(2, 2, 1, 8, false, ColorSpace::DeviceWhite);
    const auto greyAlpha = makeBitmap(2, 2, 2, 16, true, ColorSpace::DeviceWhite);
    const auto rgb48 = makeBitmap(2, 2, 3, 48, false, ColorSpace::CalibratedRGB, 16);
    const auto planar = makeBitmap(2, 2, 3, 8, false, ColorSpace::CalibratedRGB, 8, true);
    EXPECT_EQ(AnaglyphComposer::pathFor(*rgb24, *rgbPadded), P::Bytes);
    EXPECT_EQ(AnaglyphComposer::pathFor(*rgba, *rgb24), P::Bytes);
    EXPECT_EQ(AnaglyphComposer::pathFor(*rgb24, *grey), P::PerPixel);
    EXPECT_EQ(AnaglyphComposer::pathFor(*greyAlpha, *rgb24), P::PerPixel);
    EXPECT_EQ(AnaglyphComposer::pathFor(*rgb48, *rgb24), P::PerPixel);
    EXPECT_EQ(AnaglyphComposer::pathFor(*rgb24, *planar), P::PerPixel);
}

// Written straight from the channel table, one pixel at a time.
Rgb expectedBytes(const std::uint8_t* l, const std::uint8_t* r, int glasses, bool colorize)
{
    const std::uint8_t* a = glasses >= 4 ? r : l;
    const std::uint8_t* b = glasses >= 4 ? l : r;
    const bool cyan = glasses == 2 || glasses == 5;
    auto dim = [&](int v) { return cyan ? int(double(v) / 1.2) : v; };
    if (colorize)
        return {a[0], dim(b[1]), dim(b[2])};
    const int gb = dim((b[0] + b[1] + b[2]) / 3);
    return {(a[0] + a[1] + a[2]) / 3, gb, gb};
}

void fillRandom(Bitmap& b, std::mt19937& random)
{
    for (std::size_t i = 0; i < b.totalBytes(); ++i)
        b.bitmapData()[i] = std::uint8_t(random());
}

// Pixels of the composition that differ from expectedBytes, for glasses 1-6
// in colour and black and white, at every instruction level.
void expectTheTable(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g, const std::string& name)
{
    const int sl = AnaglyphComposer::bytePathStride(left);
    const int sr = AnaglyphComposer::bytePathStride(right);
    for (const SimdLevel level : supportedSimdLevels()) {
        const SimdCeiling ceiling(level);
        for (int glasses = 1; glasses <= 6; ++glasses) {
            for (const bool colorize : {true, false}) {
                auto result = Bitmap::createRGBCanvas(g.pixelsWide(), g.pixelsHigh());
                AnaglyphComposer(glasses, colorize).compose(left, right, g, *result);
                int mismatches = 0;
                for (int y = 0; y < g.pixelsHigh(); ++y) {
                    for (int x = 0; x < g.pixelsWide(); ++x) {
                        const std::uint8_t* lp = left.bitmapData() + left.bytesPerRow() * (g.vl + y) + (g.ul + x) * sl;
                        const std::uint8_t* rp =
                            right.bitmapData() + right.bytesPerRow() * (g.vr + y) + (g.ur + x) * sr;
                        mismatches += pixel(*result, x, y) != expectedBytes(lp, rp, glasses, colorize);
                    }
                }
                EXPECT_EQ(mismatches, 0) << name << " glasses " << glasses << " colorize " << colorize
                                         << " instruction level " << int(level);
            }
        }
    }
}

TEST(AnaglyphComposer, BytePathMatchesTheTableOnLargePicturesOfEveryStride)
{
    // Large enough for the two-thread split, widths that leave a partial
    // sixteen-pixel block, and the pictures offset against each other so
    // every start value is used.
    std::mt19937 random(11);
    for (const int leftBits : {24, 32}) {
        for (const int rightBits : {24, 32}) {
            const auto left = makeBitmap(700, 430, 3, leftBits);
            const auto right = makeBitmap(690, 440, 3, rightBits);
            fillRandom(*left, random);
            fillRandom(*right, random);
            const OverlapGeometry g =
                OverlapGeometry::compute(left->size(), {350, 215}, right->size(), {345, 220}, 6, -4);
            ASSERT_GT(g.pixelsWide() * g.pixelsHigh(), AnaglyphComposer::parallelThreshold);
            ASSERT_NE(g.pixelsWide() % 16, 0);
            ASSERT_TRUE(g.ul > 0 && g.vr > 0);
            expectTheTable(*left, *right, g, "bits " + std::to_string(leftBits) + "/" + std::to_string(rightBits));
        }
    }
}

TEST(AnaglyphComposer, BlackAndWhiteMeansEverySumOfThreeBytes)
{
    // Pixel x of the left picture sums to x, of the right to 765 - x: every
    // mean and every dimmed mean, the extremes included, on both sides.
    constexpr int sums = 766;
    auto setSum = [](std::uint8_t* p, int sum) {
        p[0] = std::uint8_t(std::min(sum, 255));
        p[1] = std::uint8_t(std::clamp(sum - 255, 0, 255));
        p[2] = std::uint8_t(std::max(sum - 510, 0));
    };
    for (const int bits : {24, 32}) {
        const auto left = makeBitmap(sums, 1, 3, bits);
        const auto right = makeBitmap(sums, 1, 3, 56 - bits);
        for (int x = 0; x < sums; ++x) {
            setSum(left->bitmapData() + x * (bits / 8), x);
            setSum(right->bitmapData() + x * (7 - bits / 8), sums - 1 - x);
        }
        const OverlapGeometry g = OverlapGeometry::compute(left->size(), {0, 0}, right->size(), {0, 0}, 0, 0);
        ASSERT_EQ(g.pixelsWide(), sums);
        expectTheTable(*left, *right, g, "left bits " + std::to_string(bits));
    }
}

TEST(AnaglyphComposer, PaddingByteOfThirtyTwoBitPixelsIsNeverRead)
{
    auto padded = makeBitmap(1, 1, 3, 32);
    auto withAlpha = makeBitmap(1, 1, 4, 32, true);
    for (auto* b : {padded.get(), withAlpha.get()}) {
        b->bitmapData()[0] = 30;
        b->bitmapData()[1] = 60;
        b->bitmapData()[2] = 90;
        b->bitmapData()[3] = 255;
    }
    EXPECT_EQ(composeOne(*padded, *withAlpha, 1, false), (Rgb{60, 60, 60}));
}

TEST(AnaglyphComposer, PerPixelGreyPairIgnoresColourModeAndCyan)
{
    auto left = makeBitmap(1, 1, 1, 8, false, ColorSpace::DeviceWhite);
    auto right = makeBitmap(1, 1, 1, 8, false, ColorSpace::CalibratedWhite);
    left->bitmapData()[0] = 100;
    right->bitmapData()[0] = 50;
    for (const bool colorize : {true, false}) {
        EXPECT_EQ(composeOne(*left, *right, 1, colorize), (Rgb{100, 50, 50}));
        EXPECT_EQ(composeOne(*left, *right, 2, colorize), (Rgb{100, 50, 50}));
        EXPECT_EQ(composeOne(*left, *right, 3, colorize), (Rgb{100, 50, 50}));
        EXPECT_EQ(composeOne(*left, *right, 4, colorize), (Rgb{50, 100, 100}));
        EXPECT_EQ(composeOne(*left, *right, 5, colorize), (Rgb{50, 100, 100}));
    }
}

TEST(AnaglyphComposer, PerPixelColourPairHasNoCyanDimming)
{
    // A 16-bit left picture forces the per-pixel path.
    auto left = makeBitmap(1, 1, 3, 48, false, ColorSpace::CalibratedRGB, 16);
    const std::uint16_t samples[3] = {30 * 257, 60 * 257, 90 * 257};
    std::memcpy(left->bitmapData(), samples, sizeof samples);
    const auto right = onePixel({10, 20, 31});
    EXPECT_EQ(composeOne(*left, *right, 1, true), (Rgb{30, 20, 31}));
    EXPECT_EQ(composeOne(*left, *right, 2, true), (Rgb{30, 20, 31}));
    EXPECT_EQ(composeOne(*left, *right, 5, true), (Rgb{10, 60, 90}));
    // Means in floating point, rounded to the nearest byte: 61/3 = 20.33.
    EXPECT_EQ(composeOne(*left, *right, 2, false), (Rgb{60, 20, 20}));
    EXPECT_EQ(composeOne(*left, *right, 4, false), (Rgb{20, 60, 60}));
}

TEST(AnaglyphComposer, PerPixelGreyBesideColourReadsGreyAsEqualChannels)
{
    auto grey = makeBitmap(1, 1, 1, 8, false, ColorSpace::DeviceWhite);
    grey->bitmapData()[0] = 90;
    const auto colour = onePixel({10, 20, 30});
    EXPECT_EQ(composeOne(*grey, *colour, 1, true), (Rgb{90, 20, 30}));
    EXPECT_EQ(composeOne(*grey, *colour, 1, false), (Rgb{90, 20, 20}));
    EXPECT_EQ(composeOne(*grey, *colour, 4, true), (Rgb{10, 90, 90}));
}

TEST(AnaglyphComposer, PerPixelPathReadsEachPictureAtItsOwnStart)
{
    // Left grey 4 x 1 with values 0, 10, 20, 30; right 4 x 1 with 100 .. 130.
    auto left = makeBitmap(4, 1, 1, 8, false, ColorSpace::DeviceWhite);
    auto right = makeBitmap(4, 1, 1, 8, false, ColorSpace::DeviceWhite);
    for (int x = 0; x < 4; ++x) {
        left->bitmapData()[x] = std::uint8_t(10 * x);
        right->bitmapData()[x] = std::uint8_t(100 + 10 * x);
    }
    const OverlapGeometry g = OverlapGeometry::compute(left->size(), {2, 0.5}, right->size(), {2, 0.5}, 1, 0);
    ASSERT_EQ(g.pixelsWide(), 3);
    auto result = Bitmap::createRGBCanvas(3, 1);
    AnaglyphComposer(4, true).compose(*left, *right, g, *result);
    // Column x pairs left column x + 1 with right column x; type 4 puts right into red.
    EXPECT_EQ(pixel(*result, 0, 0), (Rgb{100, 10, 10}));
    EXPECT_EQ(pixel(*result, 2, 0), (Rgb{120, 30, 30}));
}

}  // namespace
