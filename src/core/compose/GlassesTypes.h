#pragma once

#include "core/compose/MixingMatrices.h"

#include <span>
#include <string_view>

namespace korvex {

// Colour channels as bits: a filter's pass band, or the channels one picture feeds.
enum Channel : unsigned { Red = 1, Green = 2, Blue = 4 };
using ChannelSet = unsigned;

constexpr bool hasChannel(ChannelSet set, int channel)
{
    return (set >> channel) & 1u;
}

// One kind of two-colour glasses, stored under "GlassesType" as its value.
struct GlassesType {
    int value;
    std::string_view code;  // left eye's filter first; also its toolbar picture's name
    ChannelSet leftPasses;  // the channels each eye's filter lets through
    ChannelSet rightPasses;
    // The classic composition: the channels it takes from the left picture
    // (the rest come from the right one), and those it divides by 1.2 on the
    // byte path. The first six types keep their original rule, red from the
    // red eye and green and blue from the other.
    ChannelSet classicFromLeft;
    ChannelSet classicDimmed;
    // Dubois's least-squares matrices for these glasses, or null. Glasses with
    // the colours on the other eyes use them with the pictures exchanged.
    const MixingMatrices* dubois;
    bool duboisExchanged;
};

constexpr int firstGlasses = 1;
constexpr int lastGlasses = 10;

std::span<const GlassesType> glassesTypes();
// The type stored as value; anything outside 1 to 10 reads as type 1.
const GlassesType& glassesType(int value);

}  // namespace korvex
