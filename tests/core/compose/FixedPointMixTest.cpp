#include "core/compose/FixedPointMix.h"
#include "core/simd/SimdLevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace korvex;

namespace {

// The mix written out in double precision: clamp(ML * l + MR * r), rounded.
int exactByte(const MixingMatrices& m, const std::uint8_t* l, const std::uint8_t* r, int channel)
{
    double sum = 0.0;
    for (int k = 0; k < 3; ++k)
        sum += (m.left[std::size_t(channel * 3 + k)] * l[k] + m.right[std::size_t(channel * 3 + k)] * r[k]) / 1000.0;
    return int(std::lround(std::clamp(sum, 0.0, 255.0)));
}

MixingMatrices randomMatrices(std::mt19937& random, int low, int high)
{
    std::uniform_int_distribution<int> value(low, high);
    MixingMatrices m;
    for (std::size_t i = 0; i < 9; ++i) {
        m.left[i] = value(random);
        m.right[i] = value(random);
    }
    return m;
}

struct MixCase {
    const char* name;
    MixingMatrices matrices;
};

}  // namespace

// Rows of every length around the chunk size, both strides, read in place
// and copied, on every instruction set this processor offers, against the
// formula: never more than one step off, and one step rarely (a bias in the
// fixed point would show as many).
TEST(FixedPointMix, RowsMatchTheFormulaForEveryLengthAndStride)
{
    std::mt19937 random(1414);
    const std::vector<MixCase> cases = {
        {"half-colour red-cyan", {{299, 587, 114, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1000, 0, 0, 0, 1000}}},
        {"grey amber-blue", {{299, 587, 114, 299, 587, 114, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 299, 587, 114}}},
        {"Dubois numbers without the curve",
         {{456, 500, 176, -40, -38, -16, -15, -21, -5}, {-43, -88, -2, 378, 734, -18, -72, -113, 1226}}},
        {"random signed", randomMatrices(random, -400, 400)},
        {"random with one above one", [&] {
             MixingMatrices m = randomMatrices(random, -150, 300);
             m.right[8] = 1500;
             return m;
         }()},
        {"all zero", {}},
    };
    const int widths[] = {1, 2, 5, 127, 128, 129, 131, 300, 1000};
    for (const SimdLevel level : supportedSimdLevels()) {
        const SimdCeiling ceiling(level);
        for (const MixCase& mixCase : cases) {
            const std::unique_ptr<FixedPointMix> mix = FixedPointMix::plan(mixCase.matrices);
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
                        mix->mixPixels(left.data(), leftStride, right.data(), rightStride, out.data(), width);
                        int oneOff = 0;
                        for (int x = 0; x < width; ++x) {
                            for (int c = 0; c < 3; ++c) {
                                const int want = exactByte(mixCase.matrices, &left[std::size_t(x * leftStride)],
                                                           &right[std::size_t(x * rightStride)], c);
                                const int got = out[std::size_t(x * 3 + c)];
                                ASSERT_LE(std::abs(want - got), 1) << mixCase.name << " width " << width << " strides "
                                                                   << leftStride << "/" << rightStride << " at " << x;
                                oneOff += want != got;
                            }
                        }
                        EXPECT_LE(oneOff * 50, 3 * width + 50) << mixCase.name << " width " << width;
                        EXPECT_EQ(out.back(), 0xA5) << "wrote past the row";
                    }
                }
            }
        }
    }
}

// Every byte value through the identity and through a sum that must clamp.
TEST(FixedPointMix, ExtremesAndEveryByteValue)
{
    const MixingMatrices identity{{1000, 0, 0, 0, 1000, 0, 0, 0, 1000}, {}};
    const MixingMatrices saturating{{1000, 1000, 0, -1000, 0, 0, 0, 0, 500}, {0, 0, 0, 0, 0, 0, 0, 0, 500}};
    std::vector<std::uint8_t> left(256 * 3);
    std::vector<std::uint8_t> right(256 * 3);
    for (int v = 0; v < 256; ++v) {
        for (int c = 0; c < 3; ++c) {
            left[std::size_t(v * 3 + c)] = std::uint8_t(v);
            right[std::size_t(v * 3 + c)] = std::uint8_t(255 - v);
        }
    }
    std::vector<std::uint8_t> out(256 * 3);
    FixedPointMix::plan(identity)->mixPixels(left.data(), 3, right.data(), 3, out.data(), 256);
    EXPECT_EQ(out, left);
    FixedPointMix::plan(saturating)->mixPixels(left.data(), 3, right.data(), 3, out.data(), 256);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(out[std::size_t(v * 3)], std::min(255, 2 * v)) << v;
        EXPECT_EQ(out[std::size_t(v * 3 + 1)], 0) << v;
        // 0.5 v + 0.5 (255 - v) = 127.5 rounds to 128.
        EXPECT_EQ(out[std::size_t(v * 3 + 2)], 128) << v;
    }
}

// Sums too wide for 16 bits are left to the table path.
TEST(FixedPointMix, DeclinesMatricesBeyondItsRange)
{
    const MixingMatrices wide{{5000, 5000, 5000, 0, 0, 0, 0, 0, 0}, {-5000, 0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_FALSE(FixedPointMix::plan(wide));
}
