#include "core/compose/RegionSampling.h"

#include "core/simd/SimdLevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using namespace korvex;

namespace {

// Noisy bytes, so that a tap read from the wrong pixel or channel shows.
std::unique_ptr<Bitmap> noisyPicture(int w, int h, int samples, int bitsPerSample)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = samples;
    layout.hasAlpha = samples == 4;
    layout.bitsPerSample = bitsPerSample;
    layout.colorSpace = ColorSpace::CalibratedRGB;
    auto bitmap = Bitmap::create(layout);
    unsigned state = 12345;
    const auto next = [&] {
        state = state * 1103515245u + 12345u;
        return double((state >> 16) % 256) / 255.0;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bitmap->setColor(Color::rgb(next(), next(), next()), x, y);
    return bitmap;
}

// The colour of a picture pixel in bytes.
double byteOf(const Bitmap& b, int x, int y, int c)
{
    const Color colour = b.colorAt(x, y);
    const double v = c == 0 ? colour.red : c == 1 ? colour.green : colour.blue;
    return std::round(std::clamp(v, 0.0, 1.0) * 255.0);
}

// Bilinear in doubles at (u, v), taps clamped to the picture; -1 outside it.
double expectedAt(const Bitmap& b, double u, double v, int c)
{
    const int w = b.pixelsWide(), h = b.pixelsHigh();
    if (u < -0.5 || v < -0.5 || u > w - 0.5 || v > h - 0.5)
        return -1;
    const double fu = std::floor(u), fv = std::floor(v);
    const double tx = u - fu, ty = v - fv;
    const int x0 = std::clamp(int(fu), 0, w - 1), x1 = std::clamp(int(fu) + 1, 0, w - 1);
    const int y0 = std::clamp(int(fv), 0, h - 1), y1 = std::clamp(int(fv) + 1, 0, h - 1);
    return (byteOf(b, x0, y0, c) * (1 - tx) + byteOf(b, x1, y0, c) * tx) * (1 - ty)
           + (byteOf(b, x0, y1, c) * (1 - tx) + byteOf(b, x1, y1, c) * tx) * ty;
}

// The map's read into an outWide x outHigh canvas, in two bands as the two
// cores split the rows, as bytes without the rows' padding.
std::vector<std::uint8_t> sampled(const Bitmap& picture, const PixelMap& map, int outWide, int outHigh)
{
    auto out = Bitmap::createRGBCanvas(outWide, outHigh);
    sampleBilinear(picture, map, *out, 0, outHigh / 2);
    sampleBilinear(picture, map, *out, outHigh / 2, outHigh);
    std::vector<std::uint8_t> bytes;
    for (int j = 0; j < outHigh; ++j) {
        const std::uint8_t* row = out->bitmapData() + out->bytesPerRow() * std::size_t(j);
        bytes.insert(bytes.end(), row, row + std::size_t(outWide) * 3);
    }
    return bytes;
}

// Every output value against the bilinear read in doubles; returns how many
// pixels lay outside the picture (black).
int expectBilinear(const Bitmap& picture, const PixelMap& map, const std::vector<std::uint8_t>& bytes, int outWide,
                   int outHigh)
{
    int black = 0;
    for (int j = 0; j < outHigh; ++j)
        for (int i = 0; i < outWide; ++i) {
            const double u = map.x0 + map.xi * i + map.xj * j;
            const double v = map.y0 + map.yi * i + map.yj * j;
            for (int ch = 0; ch < 3; ++ch) {
                const int got = bytes[(std::size_t(j) * outWide + i) * 3 + ch];
                const double want = expectedAt(picture, u, v, ch);
                if (want < 0) {
                    black += ch == 0;
                    EXPECT_EQ(got, 0) << "outside, at " << i << "," << j;
                    continue;
                }
                // Weights in 256ths: within two steps of the exact mix.
                if (std::abs(got - want) > 2.0) {
                    ADD_FAILURE() << "at " << i << "," << j << " channel " << ch << ": " << got << " for " << want;
                    return black;
                }
            }
        }
    return black;
}

TEST(RegionSampling, ReadsEachOutputPixelBilinearlyAtItsMappedCentre)
{
    struct Layout {
        const char* name;
        int samples, bits;
    };
    // RGB and RGBA read the bytes directly; 16-bit goes through the colours.
    const Layout layouts[] = {{"RGB", 3, 8}, {"RGBA", 4, 8}, {"16-bit RGB", 3, 16}};
    struct Case {
        const char* name;
        PixelMap map;
        int outWide, outHigh;
    };
    const double a = 0.3;  // radians, for the rotated case
    const Case cases[] = {
        {"same pixels", {0, 1, 0, 0, 0, 1}, 40, 30},
        {"same pixels, shifted past every edge", {-3, 1, 0, -2, 0, 1}, 50, 36},
        {"reduced by 1.37, shifted", {2.25, 1.37, 0, 1.5, 0, 1.37}, 28, 20},
        // As Fit reads a halved copy, and as it reads the picture before the copies exist.
        {"reduced by 1.85, from the left edge", {0.42, 1.85, 0, 0.42, 0, 1.85}, 22, 16},
        {"reduced by 3.7", {1.35, 3.7, 0, 1.35, 0, 3.7}, 11, 8},
        {"enlarged, reaching past every edge", {-3.2, 0.3, 0, -2.7, 0, 0.45}, 160, 90},
        {"rotated", {10, std::cos(a), -std::sin(a), 5, std::sin(a), std::cos(a)}, 35, 30},
    };
    // Each instruction set's bytes, by layout and case: every set gives the same.
    std::vector<std::vector<std::uint8_t>> firstLevel;
    for (const SimdLevel level : supportedSimdLevels()) {
        const SimdCeiling ceiling(level);
        std::size_t run = 0;
        for (const Layout& layout : layouts) {
            const auto picture = noisyPicture(41, 31, layout.samples, layout.bits);
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(layout.name) + ", " + c.name + ", instruction level " + std::to_string(int(level)));
                const std::vector<std::uint8_t> bytes = sampled(*picture, c.map, c.outWide, c.outHigh);
                if (firstLevel.size() <= run)
                    firstLevel.push_back(bytes);
                ASSERT_TRUE(bytes == firstLevel[run++]);
                const int black = expectBilinear(*picture, c.map, bytes, c.outWide, c.outHigh);
                if (std::string(c.name).rfind("enlarged", 0) == 0) {
                    EXPECT_GT(black, 0) << "the case should reach outside the picture";
                }
            }
        }
    }
}

TEST(RegionSampling, TurnedReadsOfEveryAngleAndScaleAgreeAtEveryLevel)
{
    // As the right picture is read through a correction: small turns, whose
    // taps a block finds in a few rows, and large ones and a half turn, which
    // it gathers; steps up to the widest span a block's taps may have, and
    // past it; the picture's edges crossed.
    const double degree = 3.14159265358979 / 180;
    struct Turn {
        double angle, step;
    };
    const Turn turns[] = {{0.25 * degree, 1.0}, {0.25 * degree, 1.85}, {-1.5 * degree, 2.6},
                          {2 * degree, 2.7},    {30 * degree, 1.3},    {180 * degree, 1.0}};
    const int outWide = 140, outHigh = 70;
    for (const int samples : {3, 4}) {
        const auto picture = noisyPicture(300, 130, samples, 8);
        for (const Turn& t : turns) {
            const double c = t.step * std::cos(t.angle), s = t.step * std::sin(t.angle);
            // Reaching past the picture's left and top edges, or for the half turn its right one.
            const PixelMap map{t.angle > 3 ? 305.2 : -12.3, c, -s, t.angle > 3 ? 120.7 : -4.6, s, c};
            std::vector<std::uint8_t> first;
            for (const SimdLevel level : supportedSimdLevels()) {
                const SimdCeiling ceiling(level);
                SCOPED_TRACE(std::to_string(samples) + " samples, " + std::to_string(t.angle / degree) + " degrees, step "
                             + std::to_string(t.step) + ", instruction level " + std::to_string(int(level)));
                const std::vector<std::uint8_t> bytes = sampled(*picture, map, outWide, outHigh);
                if (first.empty())
                    first = bytes;
                ASSERT_TRUE(bytes == first);
                EXPECT_GT(expectBilinear(*picture, map, bytes, outWide, outHigh), 0);
            }
        }
    }
}

TEST(RegionSampling, LevelMapsPlaceTheSameCentresOnAHalvedGrid)
{
    // Pixel centre 0 of a level 2^k coarser lies at picture coordinate (2^k - 1) / 2.
    const PixelMap map{3.5, 2, 0, 7.5, 0, 4};
    for (int k = 1; k <= 3; ++k) {
        const PixelMap level = map.onLevel(k);
        const double s = std::ldexp(1.0, k);
        for (int i : {0, 5})
            for (int j : {0, 3}) {
                const double x = map.x0 + map.xi * i, y = map.y0 + map.yj * j;
                EXPECT_DOUBLE_EQ((level.x0 + level.xi * i) * s + (s - 1) / 2, x);
                EXPECT_DOUBLE_EQ((level.y0 + level.yj * j) * s + (s - 1) / 2, y);
            }
    }
}

}  // namespace
