#pragma once

#include "core/compose/MixingMatrices.h"

#include <optional>
#include <span>
#include <string_view>

namespace korvex {

// How the overlap is composed. Classic is the original channel mapping with
// its own code path; every other method is a pair of channel matrices.
enum class AnaglyphMethod { Classic, Grey, HalfColour, Colour, Dubois, Custom };

// What feeds one eye's channels in the simple matrix methods.
enum class EyeFeed {
    Luma,         // that picture's Y = 0.299 r + 0.587 g + 0.114 b
    OwnChannels,  // that picture's own channels
};

struct AnaglyphMethodInfo {
    AnaglyphMethod method;
    std::string_view name;  // stored under "AnaglyphMethod", given to --method
    enum class Matrices { None, ByEye, Dubois, Custom } matrices;
    EyeFeed leftFeed;   // with ByEye
    EyeFeed rightFeed;
    bool linearLight;  // decode the sRGB curve before mixing, encode after
};

// One composition's matrices; linearLight as in AnaglyphMethodInfo.
struct ChannelMixing {
    MixingMatrices matrices;
    bool linearLight = false;
};

std::span<const AnaglyphMethodInfo> anaglyphMethods();
const AnaglyphMethodInfo& anaglyphMethodInfo(AnaglyphMethod method);
std::string_view anaglyphMethodName(AnaglyphMethod method);
std::optional<AnaglyphMethod> anaglyphMethodFromName(std::string_view name);

// Dubois needs matrices made for the glasses; the others work with any.
bool isMethodAvailable(AnaglyphMethod method, int glasses);

// The matrices of a matrix method for the glasses; empty for classic and for
// a method the glasses do not offer. custom is used by the custom method only.
std::optional<ChannelMixing> channelMixing(AnaglyphMethod method, int glasses, const MixingMatrices& custom);

}  // namespace korvex
