#include "core/compose/LinearLightMixAvx512.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace korvex;

namespace {

// The sRGB curve and the mix written out again in double precision.
double decode(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double encode(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

int exactByte(const MixingMatrices& m, const std::uint8_t* l, const std::uint8_t* r, int channel)
{
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        sum += (m.left[std::size_t(channel * 3 + k)] * decode(l[k] / 255.0)
                + m.right[std::size_t(channel * 3 + k)] * decode(r[k] / 255.0))
               / 1000.0;
    }
    return int(std::lround(255.0 * encode(std::clamp(sum, 0.0, 1.0))));
}

struct MixCase {
    const char* name;
    MixingMatrices matrices;
    bool exchanged;  // the reversed glasses: the same matrices, the pictures swapped
};

const MixingMatrices redCyan{{456, 500, 176, -40, -38, -16, -15, -21, -5},
                             {-43, -88, -2, 378, 734, -18, -72, -113, 1226}};
const MixingMatrices amberBlue{{1062, -205, 299, -26, 908, 68, -38, -173, 22},
                               {-16, -123, -17, 6, 62, -17, 94, 185, 911}};
const MixingMatrices greenMagenta{{-62, -158, -39, 284, 668, 143, -15, -27, 21},
                                  {529, 705, 24, -16, -15, -65, 9, 75, 937}};

}  // namespace

// Every sum the mix can hand to the encoding, from 0 to 1.0, against the
// exactly rounded curve: never a step off, and off at all only where the
// curve passes within a hair of a half step. Sums outside clamp.
TEST(LinearLightMixAvx512, EncodingOfEverySumIsWithinOneStepOfTheCurve)
{
    if (!LinearLightMixAvx512::isSupported())
        GTEST_SKIP() << "no AVX-512 VBMI and VNNI here";
    const std::int32_t one = LinearLightMixAvx512::sumOne;
    // The linear values where the exactly rounded byte steps up: the sums
    // below threshold[b] round to less than b.
    std::vector<double> threshold(257, 2.0 * one);
    for (int b = 1; b < 256; ++b)
        threshold[std::size_t(b)] = decode((b - 0.5) / 255.0) * one;
    std::vector<std::int32_t> sums(1 << 16);
    std::vector<std::uint8_t> bytes(sums.size());
    int exact = 0;
    long offByOne = 0;
    for (std::int32_t base = 0; base <= one; base += std::int32_t(sums.size())) {
        const int count = int(std::min<std::int64_t>(std::int64_t(sums.size()), std::int64_t(one) + 1 - base));
        for (int i = 0; i < count; ++i)
            sums[std::size_t(i)] = base + i;
        LinearLightMixAvx512::encodeSums(sums.data(), bytes.data(), count);
        for (int i = 0; i < count; ++i) {
            const double s = base + i;
            while (s >= threshold[std::size_t(exact + 1)])
                ++exact;
            const int got = bytes[std::size_t(i)];
            ASSERT_LE(std::abs(got - exact), 1) << "sum " << s;
            offByOne += got != exact;
        }
    }
    EXPECT_EQ(exact, 255);
    // The fit strays by a few thousandths of a step: a bias of a tenth would
    // put one sum in ten a step off.
    EXPECT_LT(offByOne, one / 100) << "more than a hair's width off";

    const std::vector<std::int32_t> outside = {-1, -one / 2, one + 1, one + one / 2, 2 * one - 1};
    std::vector<std::uint8_t> clamped(outside.size());
    LinearLightMixAvx512::encodeSums(outside.data(), clamped.data(), int(outside.size()));
    EXPECT_EQ(clamped, (std::vector<std::uint8_t>{0, 0, 255, 255, 255}));
}

// Every glasses type that has Dubois matrices, a luma mix and a random one,
// both strides, rows of every length around the 16-pixel step, against the
// formula in double precision.
TEST(LinearLightMixAvx512, RowsMatchTheFormulaForEveryMatrixStrideAndLength)
{
    if (!LinearLightMixAvx512::isSupported())
        GTEST_SKIP() << "no AVX-512 VBMI and VNNI here";
    std::mt19937 random(2401);
    std::uniform_int_distribution<int> coefficient(-300, 700);
    MixingMatrices randomMix;
    for (std::size_t i = 0; i < 9; ++i) {
        randomMix.left[i] = coefficient(random);
        randomMix.right[i] = coefficient(random);
    }
    const std::vector<MixCase> cases = {
        {"red-cyan", redCyan, false},
        {"cyan-red", redCyan, true},
        {"amber-blue", amberBlue, false},
        {"blue-amber", amberBlue, true},
        {"green-magenta", greenMagenta, false},
        {"magenta-green", greenMagenta, true},
        {"half-colour", {{299, 587, 114, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1000, 0, 0, 0, 1000}}, false},
        {"random", randomMix, false},
    };
    const int widths[] = {1, 2, 15, 16, 17, 31, 33, 100, 1000};
    for (const MixCase& mixCase : cases) {
        const std::unique_ptr<LinearLightMixAvx512> mix = LinearLightMixAvx512::plan(mixCase.matrices);
        ASSERT_TRUE(mix) << mixCase.name;
        for (const int leftStride : {3, 4}) {
            for (const int rightStride : {3, 4}) {
                for (const int width : widths) {
                    std::vector<std::uint8_t> left(std::size_t(width * leftStride));
                    std::vector<std::uint8_t> right(std::size_t(width * rightStride));
                    for (auto& b : left)
                        b = std::uint8_t(random());
                    for (auto& b : right)
                        b = std::uint8_t(random());
                    std::vector<std::uint8_t> out(std::size_t(width * 3) + 1, 0xA5);
                    const std::uint8_t* first = mixCase.exchanged ? right.data() : left.data();
                    const std::uint8_t* second = mixCase.exchanged ? left.data() : right.data();
                    const int firstStride = mixCase.exchanged ? rightStride : leftStride;
                    const int secondStride = mixCase.exchanged ? leftStride : rightStride;
                    mix->mixPixels(first, firstStride, second, secondStride, out.data(), width);
                    int oneOff = 0;
                    for (int x = 0; x < width; ++x) {
                        for (int c = 0; c < 3; ++c) {
                            const int want = exactByte(mixCase.matrices, first + x * firstStride,
                                                       second + x * secondStride, c);
                            const int got = out[std::size_t(x * 3 + c)];
                            ASSERT_LE(std::abs(want - got), 1) << mixCase.name << " width " << width << " strides "
                                                               << leftStride << "/" << rightStride << " at " << x;
                            oneOff += want != got;
                        }
                    }
                    EXPECT_LE(oneOff * 20, 3 * width + 20) << mixCase.name << " width " << width;
                    EXPECT_EQ(out.back(), 0xA5) << "wrote past the row";
                }
            }
        }
    }
}

// Each byte through the identity comes back unchanged, and sums beyond 0..1
// clamp; matrices whose coefficients do not fit 16 bits are declined.
TEST(LinearLightMixAvx512, EveryByteRoundTripsAndSumsClamp)
{
    if (!LinearLightMixAvx512::isSupported())
        GTEST_SKIP() << "no AVX-512 VBMI and VNNI here";
    std::vector<std::uint8_t> ramp(256 * 4);
    std::vector<std::uint8_t> rampRgb(256 * 3);
    for (int v = 0; v < 256; ++v) {
        for (int c = 0; c < 4; ++c)
            ramp[std::size_t(v * 4 + c)] = std::uint8_t(v);
        for (int c = 0; c < 3; ++c)
            rampRgb[std::size_t(v * 3 + c)] = std::uint8_t(v);
    }
    std::vector<std::uint8_t> out(256 * 3);
    const MixingMatrices identity{{1000, 0, 0, 0, 1000, 0, 0, 0, 1000}, {}};
    LinearLightMixAvx512::plan(identity)->mixPixels(ramp.data(), 4, ramp.data(), 4, out.data(), 256);
    EXPECT_EQ(out, rampRgb);

    // Red doubles, green is the difference of equals less a little, blue is the sum of both pictures'.
    const MixingMatrices clamping{{2000, 0, 0, 1000, -1000, -10, 0, 0, 1000}, {0, 0, 0, 0, 0, 0, 0, 0, 1000}};
    LinearLightMixAvx512::plan(clamping)->mixPixels(rampRgb.data(), 3, ramp.data(), 4, out.data(), 256);
    for (int v = 0; v < 256; ++v) {
        const int doubled = int(std::lround(255.0 * encode(std::min(1.0, 2 * decode(v / 255.0)))));
        EXPECT_NEAR(out[std::size_t(v * 3)], doubled, 1) << v;
        EXPECT_EQ(out[std::size_t(v * 3 + 1)], 0) << v;
        EXPECT_NEAR(out[std::size_t(v * 3 + 2)], doubled, 1) << v;
    }
    EXPECT_EQ(out[255 * 3], 255);
    EXPECT_EQ(out[255 * 3 + 2], 255);

    const MixingMatrices tooWide{{5000, 0, 0, 0, 0, 0, 0, 0, 0}, {}};
    EXPECT_FALSE(LinearLightMixAvx512::plan(tooWide));
}
