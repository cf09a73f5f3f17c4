#include "core/stereo/Squeeze.h"

#include "core/simd/SimdLevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

using namespace korvex;

namespace {

// Output row i of a vertical squeeze, one value at a time: the weighted sum
// of the input rows its taps name, rounded and clamped as 8-bit samples are.
std::vector<std::uint8_t> squeezedRow(const Squeeze& squeeze, int i, const std::vector<std::vector<std::uint8_t>>& rows)
{
    std::vector<std::uint8_t> out(rows[0].size());
    for (std::size_t x = 0; x < out.size(); ++x) {
        long long sum = 0;
        for (std::size_t k = 0; k < squeeze.weights(i).size(); ++k)
            sum += (long long)squeeze.weights(i)[k] * rows[std::size_t(squeeze.first(i)) + k][x];
        out[x] = std::uint8_t(std::clamp<long long>((sum + Squeeze::one / 2) >> Squeeze::fractionBits, 0, 255));
    }
    return out;
}

TEST(Squeeze, ColumnsSumEveryByteOfARowWhateverItsLength)
{
    // Rows shorter than, equal to and past the lengths worked on at once.
    struct Case {
        int from, to;
        std::size_t bytes;
    };
    const Case cases[] = {{9, 4, 3}, {9, 4, 63}, {11, 5, 64}, {117, 58, 66}, {40, 20, 129}, {8, 4, 300}};
    std::mt19937 random(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to) + ", " + std::to_string(c.bytes) + " bytes");
        // Noise with runs of black and white, where the negative lobes clamp.
        std::vector<std::vector<std::uint8_t>> rows(std::size_t(c.from), std::vector<std::uint8_t>(c.bytes));
        for (auto& row : rows)
            for (std::uint8_t& v : row)
                v = std::uint8_t(random() % 3 == 0 ? (random() % 2) * 255 : random() % 256);
        const Squeeze squeeze(c.from, c.to);
        std::vector<std::int32_t> sums(c.bytes);
        std::vector<std::uint8_t> out(c.bytes);
        for (int i = 0; i < squeeze.outputs(); ++i) {
            std::vector<const std::uint8_t*> inputs;
            for (int k = squeeze.first(i); k <= squeeze.last(i); ++k)
                inputs.push_back(rows[std::size_t(k)].data());
            squeeze.squeezeColumnsInto(i, inputs.data(), c.bytes, sums.data(), out.data());
            ASSERT_EQ(out, squeezedRow(squeeze, i, rows)) << "output row " << i;
        }
    }
}

TEST(Squeeze, APartOfTheOutputsHasTheWholeSqueezesTaps)
{
    struct Case {
        int from, to, begin, end;
    };
    const Case cases[] = {{190, 95, 0, 95}, {190, 95, 40, 41}, {143, 71, 0, 3}, {143, 71, 68, 71}, {5000, 2500, 1234, 1300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to) + ", outputs " + std::to_string(c.begin)
                     + " to " + std::to_string(c.end));
        const Squeeze whole(c.from, c.to), part(c.from, c.to, c.begin, c.end);
        ASSERT_EQ(part.outputs(), c.end - c.begin);
        for (int i = 0; i < part.outputs(); ++i) {
            EXPECT_EQ(part.first(i), whole.first(c.begin + i));
            EXPECT_TRUE(std::ranges::equal(part.weights(i), whole.weights(c.begin + i))) << "output " << c.begin + i;
        }
    }
}

TEST(Squeeze, RowsSumEveryPixelAtEveryInstructionLevel)
{
    // Halvings of even and odd widths (whose inputs drift a pixel now and
    // then), short rows with no block of sixteen, a part of a squeeze read
    // from a row that starts at its first tap, and a squeeze by three.
    struct Case {
        int from, to, begin, end;
    };
    const Case cases[] = {{9, 4, 0, 4},         {190, 95, 0, 95},        {191, 95, 0, 95},     {2001, 1000, 0, 1000},
                          {40, 20, 0, 20},      {5000, 2500, 1234, 1300}, {5000, 2500, 0, 17}, {300, 100, 0, 100}};
    std::mt19937 random(5);
    for (const Case& c : cases) {
        // Noise with runs of black and white, where the negative lobes clamp.
        std::vector<std::uint8_t> row(std::size_t(c.from) * 3);
        for (std::uint8_t& v : row)
            v = std::uint8_t(random() % 3 == 0 ? (random() % 2) * 255 : random() % 256);
        const Squeeze squeeze(c.from, c.to, c.begin, c.end);
        // Independently: each output's weighted sum of its taps' bytes.
        std::vector<std::uint8_t> expected(std::size_t(squeeze.outputs()) * 3);
        for (int i = 0; i < squeeze.outputs(); ++i)
            for (int ch = 0; ch < 3; ++ch) {
                long long sum = 0;
                for (std::size_t k = 0; k < squeeze.weights(i).size(); ++k)
                    sum += (long long)squeeze.weights(i)[k] * row[(std::size_t(squeeze.first(i)) + k) * 3 + std::size_t(ch)];
                expected[std::size_t(i) * 3 + std::size_t(ch)] =
                    std::uint8_t(std::clamp<long long>((sum + Squeeze::one / 2) >> Squeeze::fractionBits, 0, 255));
            }
        const int from = squeeze.first(0);
        // Exactly the inputs the taps reach, so that a read past them shows under a sanitizer.
        const std::vector<std::uint8_t> reached(row.begin() + from * 3, row.begin() + (squeeze.last(squeeze.outputs() - 1) + 1) * 3);
        for (const SimdLevel level : supportedSimdLevels()) {
            const SimdCeiling ceiling(level);
            std::vector<std::uint8_t> out(expected.size());
            squeeze.squeezeRow(reached.data(), out.data(), from);
            EXPECT_EQ(out, expected) << c.from << " to " << c.to << ", outputs " << c.begin << " to " << c.end
                                     << ", instruction level " << int(level);
        }
    }
}

}  // namespace
