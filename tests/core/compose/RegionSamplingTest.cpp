#include "core/compose/RegionSampling.h"

#include "core/compose/SimdLevel.h"

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
                auto out = Bitmap::createRGBCanvas(c.outWide, c.outHigh);
                // Two bands, as the two cores split the rows.
                sampleBilinear(*picture, c.map, *out, 0, c.outHigh / 2);
                sampleBilinear(*picture, c.map, *out, c.outHigh / 2, c.outHigh);
                std::vector<std::uint8_t> bytes;  // the rows without their padding
                for (int j = 0; j < c.outHigh; ++j) {
                    const std::uint8_t* row = out->bitmapData() + out->bytesPerRow() * std::size_t(j);
                    bytes.insert(bytes.end(), row, row + std::size_t(c.outWide) * 3);
                }
                if (firstLevel.size() <= run)
                    firstLevel.push_back(bytes);
                ASSERT_TRUE(bytes == firstLevel[run++]);
                int black = 0;
                for (int j = 0; j < c.outHigh; ++j)
                    for (int i = 0; i < c.outWide; ++i) {
                        const double u = c.map.x0 + c.map.xi * i + c.map.xj * j;
                        const double v = c.map.y0 + c.map.yi * i + c.map.yj * j;
                        for (int ch = 0; ch < 3; ++ch) {
                            const int got = bytes[(std::size_t(j) * c.outWide + i) * 3 + ch];
                            const double want = expectedAt(*picture, u, v, ch);
                            if (want < 0) {
                                ++black;
                                ASSERT_EQ(got, 0) << "outside, at " << i << "," << j;
                                continue;
                            }
                            // Weights in 256ths: within two steps of the exact mix.
                            ASSERT_LE(std::abs(got - want), 2.0) << "at " << i << "," << j << " channel " << ch;
                        }
                    }
                if (std::string(c.name).rfind("enlarged", 0) == 0) {
                    EXPECT_GT(black, 0) << "the case should reach outside the picture";
                }
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
