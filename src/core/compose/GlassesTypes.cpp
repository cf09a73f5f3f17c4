#include "core/compose/GlassesTypes.h"

#include <array>

namespace korvex {

namespace {

// Dubois's matrices (thousandths), for the left picture seen through the first filter.
constexpr MixingMatrices duboisRedCyan{
    {456, 500, 176, -40, -38, -16, -15, -21, -5},
    {-43, -88, -2, 378, 734, -18, -72, -113, 1226},
};
constexpr MixingMatrices duboisAmberBlue{
    {1062, -205, 299, -26, 908, 68, -38, -173, 22},
    {-16, -123, -17, 6, 62, -17, 94, 185, 911},
};
constexpr MixingMatrices duboisGreenMagenta{
    {-62, -158, -39, 284, 668, 143, -15, -27, 21},
    {529, 705, 24, -16, -15, -65, 9, 75, 937},
};

constexpr ChannelSet GreenBlue = Green | Blue;

constexpr std::array<GlassesType, lastGlasses> types{{
    {1, "rg", Red, Green, Red, 0, nullptr, false},
    {2, "rc", Red, GreenBlue, Red, GreenBlue, &duboisRedCyan, false},
    {3, "rb", Red, Blue, Red, 0, nullptr, false},
    {4, "gr", Green, Red, GreenBlue, 0, nullptr, false},
    {5, "cr", GreenBlue, Red, GreenBlue, GreenBlue, &duboisRedCyan, true},
    {6, "br", Blue, Red, GreenBlue, 0, nullptr, false},
    {7, "ab", Red | Green, Blue, Red | Green, 0, &duboisAmberBlue, false},
    {8, "ba", Blue, Red | Green, Blue, 0, &duboisAmberBlue, true},
    {9, "gm", Green, Red | Blue, Green, 0, &duboisGreenMagenta, false},
    {10, "mg", Red | Blue, Green, Red | Blue, 0, &duboisGreenMagenta, true},
}};

}  // namespace

std::span<const GlassesType> glassesTypes()
{
    return types;
}

const GlassesType& glassesType(int value)
{
    return value >= firstGlasses && value <= lastGlasses ? types[std::size_t(value - firstGlasses)] : types[0];
}

}  // namespace korvex
