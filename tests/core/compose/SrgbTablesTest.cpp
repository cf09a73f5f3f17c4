#include "core/compose/SrgbTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace korvex;

namespace {

// The encoding written out again in double precision.
double encode(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

double decode(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

// Every entry against the exact encoding at both ends of the linear values
// that round to it (the curve is monotonic, so the ends are the worst): an
// entry that strays by a whole step or more from any of them would put a
// result outside the methods' tolerance of one step.
TEST(SrgbTables, EveryEntryIsWithinOneStepOfAllValuesItStandsFor)
{
    const std::uint8_t* table = srgbEncodingTable();
    const double steps = 1 << srgbEncodingIndexBits;
    double worst = 0.0;
    int worstEntry = -1;
    for (int i = 0; i < srgbEncodingEntries; ++i) {
        for (const double end : {(i - 0.5) / steps, (i + 0.5) / steps}) {
            const double exact = 255.0 * encode(std::clamp(end, 0.0, 1.0));
            if (std::abs(table[i] - exact) > worst) {
                worst = std::abs(table[i] - exact);
                worstEntry = i;
            }
        }
    }
    EXPECT_LT(worst, 1.0) << "entry " << worstEntry;
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[srgbEncodingEntries - 1], 255);
}

// Each byte decoded exactly, taken to the nearest entry, comes back unchanged.
TEST(SrgbTables, EveryByteSurvivesTheRoundTrip)
{
    const std::uint8_t* table = srgbEncodingTable();
    for (int b = 0; b < 256; ++b) {
        const long index = std::lround(decode(b / 255.0) * (1 << srgbEncodingIndexBits));
        EXPECT_EQ(table[index], b) << b;
    }
}
