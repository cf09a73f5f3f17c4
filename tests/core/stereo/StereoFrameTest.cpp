#include "core/stereo/StereoFrame.h"

#include "StereoPairTestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stop_token>

using namespace korvex;
using namespace korvex::testing;

namespace {

constexpr Rgb white = {255, 255, 255};
constexpr Rgb redEye = {200, 10, 20};
constexpr Rgb blueEye = {5, 30, 220};

std::unique_ptr<Bitmap> frameOf(const AlignedPair& pair, StereoFormat format, int gap = 0)
{
    const StereoFrameSize size = stereoFrameSize(format, pair.width(), pair.height(), gap);
    EXPECT_TRUE(size) << size.error;
    auto canvas = Bitmap::createRGBCanvas(size.width, size.height);
    EXPECT_TRUE(fillStereoFrame(pair, format, gap, *canvas));
    return canvas;
}

// A picture of one eye only, to give an aligned pair of two such pictures.
std::unique_ptr<Bitmap> pictureOf(int w, int h, const std::function<Rgb(int, int)>& colour)
{
    auto b = Bitmap::createRGBCanvas(w, h);
    b->setSize({double(w), double(h)});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            std::uint8_t* p = b->bitmapData() + b->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
            for (int i = 0; i < 3; ++i)
                p[i] = std::uint8_t(c[std::size_t(i)]);
        }
    return b;
}

OverlapGeometry wholeOverlap(const Bitmap& a, const Bitmap& b)
{
    return OverlapGeometry::compute(a.size(), {0, 0}, b.size(), {0, 0}, 0, 0);
}

}  // namespace

// Every full-size frame is checked pixel by pixel against eyes rebuilt from
// two anaglyphs of the same pair, so the formats and the anaglyph agree in position.
TEST(StereoFrame, FullSizeFormatsPlaceEachEyeWhereTheAnaglyphHasIt)
{
    const ShiftedPair pair;
    ASSERT_GT(pair.geometry.ul, 0);
    ASSERT_GT(pair.geometry.vr, 0);
    const auto left = pair.eyeFromAnaglyphs(Eye::Left);
    const auto right = pair.eyeFromAnaglyphs(Eye::Right);
    const int w = pair.geometry.pixelsWide();
    const int h = pair.geometry.pixelsHigh();

    struct Case {
        StereoFormat format;
        int gap;
        int frameW, frameH;
        std::function<Rgb(int, int)> expected;
    };
    auto beside = [&](const Bitmap& first, const Bitmap& second, int gap) {
        return [&first, &second, gap, w](int x, int y) {
            return x < w ? rgbAt(first, x, y) : x < w + gap ? white : rgbAt(second, x - w - gap, y);
        };
    };
    const Case cases[] = {
        {StereoFormat::SideBySide, 0, 2 * w, h, beside(*left, *right, 0)},
        {StereoFormat::SideBySide, 5, 2 * w + 5, h, beside(*left, *right, 5)},
        {StereoFormat::CrossEyed, 3, 2 * w + 3, h, beside(*right, *left, 3)},
        {StereoFormat::OverUnder, 4, w, 2 * h + 4,
         [&](int x, int y) { return y < h ? rgbAt(*left, x, y) : y < h + 4 ? white : rgbAt(*right, x, y - h - 4); }},
        {StereoFormat::InterleavedRows, 0, w, h,
         [&](int x, int y) { return rgbAt(y % 2 == 0 ? *left : *right, x, y); }},
    };
    for (const Case& c : cases) {
        const auto frame = frameOf(pair.aligned(), c.format, c.gap);
        const std::string what(stereoFormatInfo(c.format).code);
        ASSERT_EQ(frame->pixelsWide(), c.frameW) << what;
        ASSERT_EQ(frame->pixelsHigh(), c.frameH) << what;
        for (int y = 0; y < c.frameH; ++y)
            for (int x = 0; x < c.frameW; ++x)
                ASSERT_EQ(rgbAt(*frame, x, y), c.expected(x, y)) << what << " at " << x << "," << y;
    }
}

TEST(StereoFrame, EyesOfOtherLayoutsReadAsTheirColours)
{
    // A grey picture and a 16-bit one read as the per-pixel anaglyph reads them.
    Bitmap::Layout grey;
    grey.pixelsWide = 3;
    grey.pixelsHigh = 2;
    grey.samplesPerPixel = 1;
    grey.colorSpace = ColorSpace::CalibratedWhite;
    auto left = Bitmap::create(grey);
    Bitmap::Layout deep;
    deep.pixelsWide = 3;
    deep.pixelsHigh = 2;
    deep.bitsPerSample = 16;
    auto right = Bitmap::create(deep);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            left->setColor(Color::grey((x + 3 * y) / 5.0), x, y);
            right->setColor(Color::rgb(x / 2.0, y / 1.0, 0.3), x, y);
        }
    left->setSize({3, 2});
    right->setSize({3, 2});
    const AlignedPair pair(*left, *right, wholeOverlap(*left, *right));
    const auto frame = frameOf(pair, StereoFormat::SideBySide);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const int g = int(std::lround((x + 3 * y) / 5.0 * 255));
            EXPECT_EQ(rgbAt(*frame, x, y), (Rgb{g, g, g}));
            EXPECT_EQ(rgbAt(*frame, 3 + x, y), (Rgb{int(std::lround(x / 2.0 * 255)), y * 255, 77}));
        }
}

TEST(StereoFrame, HalfFormatsKeepEachEyeInItsHalfAndTheOverlapSize)
{
    const auto red = pictureOf(9, 7, [](int, int) { return redEye; });
    const auto blue = pictureOf(9, 7, [](int, int) { return blueEye; });
    const AlignedPair pair(*red, *blue, wholeOverlap(*red, *blue));

    // Odd sizes: each eye gets floor(size / 2) lines; the middle one is white.
    const auto sideBySide = frameOf(pair, StereoFormat::HalfSideBySide);
    ASSERT_EQ(sideBySide->pixelsWide(), 9);
    ASSERT_EQ(sideBySide->pixelsHigh(), 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(rgbAt(*sideBySide, x, y), (x < 4 ? redEye : x == 4 ? white : blueEye)) << x;

    const auto overUnder = frameOf(pair, StereoFormat::HalfOverUnder);
    ASSERT_EQ(overUnder->pixelsWide(), 9);
    ASSERT_EQ(overUnder->pixelsHigh(), 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(rgbAt(*overUnder, x, y), (y < 3 ? redEye : y == 3 ? white : blueEye)) << y;
}

TEST(StereoFrame, AStopRequestLeavesTheEyesUnwritten)
{
    // Even sizes and no gap: nothing of the frame is white, so every byte
    // would change if the eyes were laid out.
    const auto red = pictureOf(40, 30, [](int, int) { return redEye; });
    const auto blue = pictureOf(40, 30, [](int, int) { return blueEye; });
    const AlignedPair pair(*red, *blue, wholeOverlap(*red, *blue));
    std::stop_source stop;
    stop.request_stop();
    for (const StereoFormat format : {StereoFormat::SideBySide, StereoFormat::CrossEyed, StereoFormat::OverUnder,
                                      StereoFormat::HalfSideBySide, StereoFormat::HalfOverUnder,
                                      StereoFormat::InterleavedRows}) {
        const StereoFrameSize size = stereoFrameSize(format, 40, 30, 0);
        auto canvas = Bitmap::createRGBCanvas(size.width, size.height);
        std::fill(canvas->bitmapData(), canvas->bitmapData() + canvas->totalBytes(), std::uint8_t(7));
        EXPECT_TRUE(fillStereoFrame(pair, format, 0, *canvas, stop.get_token()));
        EXPECT_TRUE(std::all_of(canvas->bitmapData(), canvas->bitmapData() + canvas->totalBytes(),
                                [](std::uint8_t v) { return v == 7; }))
            << stereoFormatInfo(format).code;
    }
}

TEST(StereoFrame, HalfFormatsSqueezeWithoutFalsePatterns)
{
    const int n = 64;
    struct Case {
        const char* what;
        std::function<int(int)> line;  // the value of column (or row) i
        std::function<void(int i, int value)> check;  // for a squeezed line i away from the ends
    };
    const Case cases[] = {
        // The finest stripes there are: nothing of them may survive halving.
        {"alternate lines", [](int i) { return i % 2 ? 255 : 0; },
         [](int, int v) { EXPECT_NEAR(v, 128, 1); }},
        // Three-line stripes are still finer than the new spacing; taking
        // every other line would give a bold false pattern (0, 255, 0, 0, 255, ...).
        {"three-line stripes", [](int i) { return i % 3 == 0 ? 255 : 0; },
         [](int, int v) { EXPECT_NEAR(v, 85, 12); }},
        // A smooth ramp is kept: line i lies at the middle of lines 2i and 2i + 1.
        {"ramp", [](int i) { return 2 * i + 40; },
         [](int i, int v) { EXPECT_NEAR(v, 4 * i + 41, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto columns = pictureOf(n, 4, [&](int x, int) { return Rgb{c.line(x), c.line(x), c.line(x)}; });
        const auto rows = pictureOf(4, n, [&](int, int y) { return Rgb{c.line(y), c.line(y), c.line(y)}; });
        const auto wide = frameOf(AlignedPair(*columns, *columns, wholeOverlap(*columns, *columns)),
                                  StereoFormat::HalfSideBySide);
        const auto tall = frameOf(AlignedPair(*rows, *rows, wholeOverlap(*rows, *rows)), StereoFormat::HalfOverUnder);
        for (int i = 4; i < n / 2 - 4; ++i) {
            c.check(i, rgbAt(*wide, i, 2)[0]);
            c.check(i, rgbAt(*wide, n / 2 + i, 2)[1]);
            c.check(i, rgbAt(*tall, 1, i)[2]);
            c.check(i, rgbAt(*tall, 1, n / 2 + i)[0]);
        }
    }
}

TEST(StereoFrame, SizesAndTheirLimits)
{
    struct Case {
        StereoFormat format;
        int w, h, gap;
        int frameW, frameH;  // 0 when refused
        const char* reason;
    };
    const Case cases[] = {
        {StereoFormat::Anaglyph, 10, 6, 0, 10, 6, ""},
        {StereoFormat::SideBySide, 10, 6, 2, 22, 6, ""},
        {StereoFormat::CrossEyed, 1, 1, 0, 2, 1, ""},
        {StereoFormat::OverUnder, 10, 6, 1, 10, 13, ""},
        {StereoFormat::HalfSideBySide, 2, 1, 0, 2, 1, ""},
        {StereoFormat::HalfSideBySide, 1, 9, 0, 0, 0, "2 pixels wide"},
        {StereoFormat::HalfOverUnder, 9, 1, 0, 0, 0, "2 pixels high"},
        {StereoFormat::InterleavedRows, 5, 1, 0, 5, 1, ""},
        {StereoFormat::SideBySide, 32768, 10, 0, 0, 0, "65536 x 10"},
        {StereoFormat::SideBySide, 30000, 10, 5536, 0, 0, "65536 x 10"},
        {StereoFormat::OverUnder, 10, 40000, 0, 0, 0, "10 x 80000"},
    };
    for (const Case& c : cases) {
        const StereoFrameSize size = stereoFrameSize(c.format, c.w, c.h, c.gap);
        const std::string what(stereoFormatInfo(c.format).code);
        EXPECT_EQ(size.width, c.frameW) << what;
        EXPECT_EQ(size.height, c.frameH) << what;
        EXPECT_EQ(bool(size), c.frameW > 0) << what;
        EXPECT_NE(size.error.find(c.reason), std::string::npos) << what << ": " << size.error;
    }
}
