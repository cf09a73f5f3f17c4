#include "core/compose/AnaglyphComposer.h"
#include "core/simd/SimdLevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>

using namespace korvex;

namespace {

// The methods written out again from their definitions, in double precision,
// independently of the tables the code builds.
using Rgb = std::array<double, 3>;
using Matrix = std::array<std::array<double, 3>, 3>;

struct Eyes {
    int glasses;
    std::string leftPasses;  // channels each filter passes, "r", "g", "b"
    std::string rightPasses;
};
const Eyes allEyes[] = {{1, "r", "g"},  {2, "r", "gb"}, {3, "r", "b"},  {4, "g", "r"},  {5, "gb", "r"},
                        {6, "b", "r"},  {7, "rg", "b"}, {8, "b", "rg"}, {9, "g", "rb"}, {10, "rb", "g"}};

bool passes(const std::string& filter, int channel)
{
    return filter.find("rgb"[channel]) != std::string::npos;
}

struct DuboisPair {
    Matrix left;
    Matrix right;
};
const DuboisPair redCyan{{{{0.456, 0.500, 0.176}, {-0.040, -0.038, -0.016}, {-0.015, -0.021, -0.005}}},
                         {{{-0.043, -0.088, -0.002}, {0.378, 0.734, -0.018}, {-0.072, -0.113, 1.226}}}};
const DuboisPair amberBlue{{{{1.062, -0.205, 0.299}, {-0.026, 0.908, 0.068}, {-0.038, -0.173, 0.022}}},
                           {{{-0.016, -0.123, -0.017}, {0.006, 0.062, -0.017}, {0.094, 0.185, 0.911}}}};
const DuboisPair greenMagenta{{{{-0.062, -0.158, -0.039}, {0.284, 0.668, 0.143}, {-0.015, -0.027, 0.021}}},
                              {{{0.529, 0.705, 0.024}, {-0.016, -0.015, -0.065}, {0.009, 0.075, 0.937}}}};

// Dubois's matrices for the glasses, with the pictures exchanged for the
// colours on the other eyes; null when there are none.
const DuboisPair* duboisFor(int glasses, bool& exchanged)
{
    exchanged = glasses == 5 || glasses == 8 || glasses == 10;
    switch (glasses) {
    case 2: case 5: return &redCyan;
    case 7: case 8: return &amberBlue;
    case 9: case 10: return &greenMagenta;
    default: return nullptr;
    }
}

double luma(const Rgb& p)
{
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

double decode(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double encode(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

int toByte(double v)
{
    return int(std::lround(255.0 * std::clamp(v, 0.0, 1.0)));
}

std::array<int, 3> expectedPixel(AnaglyphMethod method, int glasses, const Rgb& l, const Rgb& r,
                                 const MixingMatrices& custom)
{
    const Eyes& eyes = allEyes[glasses - 1];
    std::array<int, 3> out{};
    if (method == AnaglyphMethod::Dubois) {
        bool exchanged = false;
        const DuboisPair& m = *duboisFor(glasses, exchanged);
        const Rgb& a = exchanged ? r : l;
        const Rgb& b = exchanged ? l : r;
        for (int c = 0; c < 3; ++c) {
            double v = 0;
            for (int k = 0; k < 3; ++k)
                v += m.left[c][k] * decode(a[k]) + m.right[c][k] * decode(b[k]);
            out[c] = toByte(encode(std::clamp(v, 0.0, 1.0)));
        }
        return out;
    }
    for (int c = 0; c < 3; ++c) {
        double v = 0;
        switch (method) {
        case AnaglyphMethod::Grey:
            v = (passes(eyes.leftPasses, c) ? luma(l) : 0) + (passes(eyes.rightPasses, c) ? luma(r) : 0);
            break;
        case AnaglyphMethod::HalfColour:
            v = (passes(eyes.leftPasses, c) ? luma(l) : 0) + (passes(eyes.rightPasses, c) ? r[c] : 0);
            break;
        case AnaglyphMethod::Colour:
            v = (passes(eyes.leftPasses, c) ? l[c] : 0) + (passes(eyes.rightPasses, c) ? r[c] : 0);
            break;
        case AnaglyphMethod::Custom:
            for (int k = 0; k < 3; ++k)
                v += (custom.left[c * 3 + k] * l[k] + custom.right[c * 3 + k] * r[k]) / 1000.0;
            break;
        default:
            ADD_FAILURE() << "not a matrix method";
        }
        out[c] = toByte(v);
    }
    return out;
}

std::unique_ptr<Bitmap> randomBitmap(std::mt19937& random, int w, int h, int samples, int bitsPerPixel,
                                     ColorSpace space = ColorSpace::CalibratedRGB, int bitsPerSample = 8,
                                     bool alpha = false, bool planar = false)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = samples;
    layout.bitsPerPixel = planar ? 0 : bitsPerPixel;
    layout.colorSpace = space;
    layout.bitsPerSample = bitsPerSample;
    layout.hasAlpha = alpha;
    layout.isPlanar = planar;
    auto bitmap = Bitmap::create(layout);
    for (std::size_t i = 0; i < bitmap->totalBytes(); ++i)
        bitmap->bitmapData()[i] = std::uint8_t(random());
    return bitmap;
}

// A pixel's colour channels as 0..1, read from the raw samples.
Rgb rawPixel(const Bitmap& b, int x, int y)
{
    const int bytes = b.bitsPerSample() / 8;
    auto sample = [&](int s) {
        const std::uint8_t* p = b.isPlanar() ? b.planeData(s) + b.bytesPerRow() * y + x * bytes
                                             : b.bitmapData() + b.bytesPerRow() * y + x * (b.bitsPerPixel() / 8) + s * bytes;
        if (bytes == 1)
            return *p / 255.0;
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return v / 65535.0;
    };
    const bool grey = b.colorSpace() == ColorSpace::DeviceWhite || b.colorSpace() == ColorSpace::CalibratedWhite;
    return grey ? Rgb{sample(0), sample(0), sample(0)} : Rgb{sample(0), sample(1), sample(2)};
}

std::array<int, 3> resultPixel(const Bitmap& b, int x, int y)
{
    const std::uint8_t* p = b.bitmapData() + b.bytesPerRow() * y + x * 3;
    return {p[0], p[1], p[2]};
}

// Composes with the pictures offset against each other and counts the
// channels more than one step from the reference. One step is allowed for
// the byte path's fixed point, in at most one channel of fifty: a systematic error shows as
// many channels one step off.
int countMismatches(const Bitmap& left, const Bitmap& right, AnaglyphMethod method, int glasses,
                    const MixingMatrices& custom = {})
{
    const OverlapGeometry g = OverlapGeometry::compute(left.size(), {left.pixelsWide() / 2.0, left.pixelsHigh() / 2.0},
                                                       right.size(), {right.pixelsWide() / 2.0, right.pixelsHigh() / 2.0},
                                                       3, -2);
    auto result = Bitmap::createRGBCanvas(g.pixelsWide(), g.pixelsHigh());
    AnaglyphComposer(glasses, true, method, custom).compose(left, right, g, *result);
    int mismatches = 0;
    int oneOff = 0;
    for (int y = 0; y < g.pixelsHigh(); ++y) {
        for (int x = 0; x < g.pixelsWide(); ++x) {
            const auto want =
                expectedPixel(method, glasses, rawPixel(left, g.ul + x, g.vl + y), rawPixel(right, g.ur + x, g.vr + y), custom);
            const auto got = resultPixel(*result, x, y);
            for (int c = 0; c < 3; ++c) {
                mismatches += std::abs(want[c] - got[c]) > 1;
                oneOff += std::abs(want[c] - got[c]) == 1;
            }
        }
    }
    const int channels = 3 * g.pixelsWide() * g.pixelsHigh();
    return mismatches + (oneOff * 50 > channels ? oneOff : 0);
}

const AnaglyphMethod matrixMethods[] = {AnaglyphMethod::Grey, AnaglyphMethod::HalfColour, AnaglyphMethod::Colour,
                                        AnaglyphMethod::Dubois, AnaglyphMethod::Custom};

MixingMatrices randomMatrices(std::mt19937& random, int limit)
{
    std::uniform_int_distribution<int> value(-limit, limit);
    MixingMatrices m;
    for (int i = 0; i < 9; ++i) {
        m.left[i] = value(random);
        m.right[i] = value(random);
    }
    return m;
}

struct LayoutPair {
    const char* name;
    std::function<std::unique_ptr<Bitmap>(std::mt19937&, int, int)> left;
    std::function<std::unique_ptr<Bitmap>(std::mt19937&, int, int)> right;
    AnaglyphComposer::Path path;
};

const LayoutPair layoutPairs[] = {
    {"24/24", [](auto& r, int w, int h) { return randomBitmap(r, w, h, 3, 24); },
     [](auto& r, int w, int h) { return randomBitmap(r, w, h, 3, 24); }, AnaglyphComposer::Path::Bytes},
    {"32 padded/RGBA", [](auto& r, int w, int h) { return randomBitmap(r, w, h, 3, 32); },
     [](auto& r, int w, int h) { return randomBitmap(r, w, h, 4, 32, ColorSpace::CalibratedRGB, 8, true); },
     AnaglyphComposer::Path::Bytes},
    {"grey/24", [](auto& r, int w, int h) { return randomBitmap(r, w, h, 1, 8, ColorSpace::DeviceWhite); },
     [](auto& r, int w, int h) { return randomBitmap(r, w, h, 3, 24); }, AnaglyphComposer::Path::PerPixel},
    {"48/grey alpha", [](auto& r, int w, int h) { return randomBitmap(r, w, h, 3, 48, ColorSpace::CalibratedRGB, 16); },
     [](auto& r, int w, int h) { return randomBitmap(r, w, h, 2, 16, ColorSpace::CalibratedWhite, 8, true); },
     AnaglyphComposer::Path::PerPixel},
    {"planar/24", [](auto& r, int w, int h) { return randomBitmap(r, w, h, 3, 8, ColorSpace::CalibratedRGB, 8, false, true); },
     [](auto& r, int w, int h) { return randomBitmap(r, w, h, 3, 24); }, AnaglyphComposer::Path::PerPixel},
};

// On every instruction set this processor offers, so that the narrower
// kernels stay tested where wider ones exist.
TEST(AnaglyphMethods, EveryMethodAndGlassesMatchesTheFormulasOnBothPaths)
{
    std::mt19937 random(14);
    for (const SimdLevel level : supportedSimdLevels()) {
        const SimdCeiling ceiling(level);
        for (const LayoutPair& layouts : layoutPairs) {
            const auto left = layouts.left(random, 37, 23);
            const auto right = layouts.right(random, 35, 26);
            ASSERT_EQ(AnaglyphComposer::pathFor(*left, *right), layouts.path) << layouts.name;
            for (const AnaglyphMethod method : matrixMethods) {
                for (const Eyes& eyes : allEyes) {
                    bool exchanged;
                    if (method == AnaglyphMethod::Dubois && !duboisFor(eyes.glasses, exchanged))
                        continue;
                    const MixingMatrices custom = randomMatrices(random, eyes.glasses % 2 ? 5000 : 1200);
                    EXPECT_EQ(countMismatches(*left, *right, method, eyes.glasses, custom), 0)
                        << layouts.name << " method " << anaglyphMethodName(method) << " glasses " << eyes.glasses
                        << " instruction level " << int(level);
                }
            }
        }
    }
}

TEST(AnaglyphMethods, BytePathMatchesOnPicturesSplitBetweenThreads)
{
    std::mt19937 random(15);
    const auto left = randomBitmap(random, 700, 430, 3, 24);
    const auto right = randomBitmap(random, 690, 440, 4, 32, ColorSpace::CalibratedRGB, 8, true);
    ASSERT_GT(680LL * 424, AnaglyphComposer::parallelThreshold);
    EXPECT_EQ(countMismatches(*left, *right, AnaglyphMethod::Dubois, 2), 0);
    EXPECT_EQ(countMismatches(*left, *right, AnaglyphMethod::HalfColour, 5), 0);
    EXPECT_EQ(countMismatches(*left, *right, AnaglyphMethod::Custom, 7, randomMatrices(random, 5000)), 0);
}

TEST(AnaglyphMethods, ExtremesClampAndRoundToTheNearestByte)
{
    // One pixel, chosen values: white and black through full-scale matrices,
    // and a sum exactly between two bytes.
    auto pixel = [](int r, int g, int b) {
        Bitmap::Layout layout;
        layout.pixelsWide = layout.pixelsHigh = 1;
        auto bitmap = Bitmap::create(layout);
        bitmap->bitmapData()[0] = std::uint8_t(r);
        bitmap->bitmapData()[1] = std::uint8_t(g);
        bitmap->bitmapData()[2] = std::uint8_t(b);
        return bitmap;
    };
    auto composeOne = [](const Bitmap& l, const Bitmap& r, const MixingMatrices& m) {
        const OverlapGeometry g = OverlapGeometry::compute(l.size(), {0.5, 0.5}, r.size(), {0.5, 0.5}, 0, 0);
        auto result = Bitmap::createRGBCanvas(1, 1);
        AnaglyphComposer(1, true, AnaglyphMethod::Custom, m).compose(l, r, g, *result);
        return resultPixel(*result, 0, 0);
    };
    const MixingMatrices fullScale{{5000, 5000, 5000, -5000, -5000, -5000, 0, 0, 0},
                                   {5000, 5000, 5000, 5000, 5000, 5000, -5000, -5000, -5000}};
    EXPECT_EQ(composeOne(*pixel(255, 255, 255), *pixel(0, 0, 0), fullScale), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(composeOne(*pixel(0, 0, 0), *pixel(255, 255, 255), fullScale), (std::array<int, 3>{255, 255, 0}));
    // 0.5 * 3 = 1.5 rounds up to 2; 0.5 * 5 = 2.5 to 3.
    const MixingMatrices half{{500, 0, 0, 0, 500, 0, 0, 0, 0}, {}};
    EXPECT_EQ(composeOne(*pixel(3, 5, 0), *pixel(0, 0, 0), half), (std::array<int, 3>{2, 3, 0}));
}

// The classic rule for the four new glasses: each channel from the eye whose
// filter passes it, colour or the classic grey, never dimmed.
TEST(AnaglyphMethods, ClassicCoversTheNewGlassesOnBothPaths)
{
    std::mt19937 random(16);
    for (const bool bytePath : {true, false}) {
        const auto left = bytePath ? randomBitmap(random, 21, 9, 3, 24)
                                   : randomBitmap(random, 21, 9, 3, 48, ColorSpace::CalibratedRGB, 16);
        const auto right = randomBitmap(random, 21, 9, 4, 32, ColorSpace::CalibratedRGB, 8, true);
        const OverlapGeometry g = OverlapGeometry::compute(left->size(), {10.5, 4.5}, right->size(), {10.5, 4.5}, 0, 0);
        for (int glasses = 7; glasses <= 10; ++glasses) {
            const Eyes& eyes = allEyes[glasses - 1];
            for (const bool colorize : {true, false}) {
                auto result = Bitmap::createRGBCanvas(21, 9);
                AnaglyphComposer(glasses, colorize).compose(*left, *right, g, *result);
                for (int y = 0; y < 9; ++y) {
                    for (int x = 0; x < 21; ++x) {
                        const Rgb l = rawPixel(*left, x, y);
                        const Rgb r = rawPixel(*right, x, y);
                        for (int c = 0; c < 3; ++c) {
                            const Rgb& source = passes(eyes.leftPasses, c) ? l : r;
                            const double mean = (source[0] + source[1] + source[2]) / 3.0;
                            // The byte path's grey is the integer mean, rounded down.
                            const int want = colorize ? toByte(source[c])
                                             : bytePath ? int(std::lround(source[0] * 255) + std::lround(source[1] * 255)
                                                              + std::lround(source[2] * 255)) / 3
                                                        : toByte(mean);
                            ASSERT_EQ(resultPixel(*result, x, y)[c], want)
                                << "glasses " << glasses << " colorize " << colorize << " byte path " << bytePath;
                        }
                    }
                }
            }
        }
    }
}

TEST(AnaglyphMethods, DuboisOnlyWhereItHasMatricesAndClassicElsewhere)
{
    for (const Eyes& eyes : allEyes) {
        bool exchanged;
        EXPECT_EQ(isMethodAvailable(AnaglyphMethod::Dubois, eyes.glasses), duboisFor(eyes.glasses, exchanged) != nullptr)
            << eyes.glasses;
        for (const AnaglyphMethod other : {AnaglyphMethod::Classic, AnaglyphMethod::Grey, AnaglyphMethod::Custom})
            EXPECT_TRUE(isMethodAvailable(other, eyes.glasses));
    }
    // Asked for where it has none, Dubois composes the classic picture.
    std::mt19937 random(17);
    const auto left = randomBitmap(random, 9, 7, 3, 24);
    const auto right = randomBitmap(random, 9, 7, 3, 24);
    const OverlapGeometry g = OverlapGeometry::compute(left->size(), {4, 3}, right->size(), {4, 3}, 0, 0);
    auto classic = Bitmap::createRGBCanvas(9, 7);
    auto dubois = Bitmap::createRGBCanvas(9, 7);
    AnaglyphComposer(3, true).compose(*left, *right, g, *classic);
    AnaglyphComposer(3, true, AnaglyphMethod::Dubois).compose(*left, *right, g, *dubois);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(resultPixel(*classic, x, y), resultPixel(*dubois, x, y));
}

TEST(AnaglyphMethods, NamesRoundTrip)
{
    const char* names[] = {"classic", "grey", "half-colour", "colour", "dubois", "custom"};
    ASSERT_EQ(anaglyphMethods().size(), std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const auto method = anaglyphMethodFromName(names[i]);
        ASSERT_TRUE(method) << names[i];
        EXPECT_EQ(anaglyphMethodName(*method), names[i]);
    }
    for (const char* unknown : {"", "Dubois", "half-color", "classic "})
        EXPECT_FALSE(anaglyphMethodFromName(unknown)) << unknown;
}

}  // namespace
