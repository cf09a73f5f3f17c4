#include "core/compose/AnaglyphMethod.h"

#include "core/compose/GlassesTypes.h"

#include <array>

namespace korvex {

namespace {

using M = AnaglyphMethodInfo::Matrices;
using enum EyeFeed;

constexpr std::array<AnaglyphMethodInfo, 6> methods{{
    {AnaglyphMethod::Classic, "classic", M::None, OwnChannels, OwnChannels, false},
    {AnaglyphMethod::Grey, "grey", M::ByEye, Luma, Luma, false},
    {AnaglyphMethod::HalfColour, "half-colour", M::ByEye, Luma, OwnChannels, false},
    {AnaglyphMethod::Colour, "colour", M::ByEye, OwnChannels, OwnChannels, false},
    {AnaglyphMethod::Dubois, "dubois", M::Dubois, OwnChannels, OwnChannels, true},
    {AnaglyphMethod::Custom, "custom", M::Custom, OwnChannels, OwnChannels, false},
}};

constexpr std::array<int, 3> lumaRow{299, 587, 114};

// Each channel the eye's filter passes carries the feed; the others get nothing.
MixingMatrices::Matrix eyeMatrix(ChannelSet passes, EyeFeed feed)
{
    MixingMatrices::Matrix m{};
    for (int row = 0; row < 3; ++row) {
        if (!hasChannel(passes, row))
            continue;
        if (feed == Luma) {
            for (int column = 0; column < 3; ++column)
                m[std::size_t(row * 3 + column)] = lumaRow[std::size_t(column)];
        } else {
            m[std::size_t(row * 3 + row)] = MixingMatrices::unit;
        }
    }
    return m;
}

}  // namespace

std::span<const AnaglyphMethodInfo> anaglyphMethods()
{
    return methods;
}

const AnaglyphMethodInfo& anaglyphMethodInfo(AnaglyphMethod method)
{
    for (const AnaglyphMethodInfo& info : methods) {
        if (info.method == method)
            return info;
    }
    return methods[0];
}

std::string_view anaglyphMethodName(AnaglyphMethod method)
{
    return anaglyphMethodInfo(method).name;
}

std::optional<AnaglyphMethod> anaglyphMethodFromName(std::string_view name)
{
    for (const AnaglyphMethodInfo& info : methods) {
        if (info.name == name)
            return info.method;
    }
    return std::nullopt;
}

bool isMethodAvailable(AnaglyphMethod method, int glasses)
{
    return anaglyphMethodInfo(method).matrices != M::Dubois || glassesType(glasses).dubois != nullptr;
}

std::optional<ChannelMixing> channelMixing(AnaglyphMethod method, int glasses, const MixingMatrices& custom)
{
    const AnaglyphMethodInfo& info = anaglyphMethodInfo(method);
    const GlassesType& type = glassesType(glasses);
    ChannelMixing mixing;
    mixing.linearLight = info.linearLight;
    switch (info.matrices) {
    case M::None:
        return std::nullopt;
    case M::ByEye:
        mixing.matrices = {eyeMatrix(type.leftPasses, info.leftFeed), eyeMatrix(type.rightPasses, info.rightFeed)};
        return mixing;
    case M::Dubois:
        if (!type.dubois)
            return std::nullopt;
        mixing.matrices = *type.dubois;
        if (type.duboisExchanged)
            std::swap(mixing.matrices.left, mixing.matrices.right);
        return mixing;
    case M::Custom:
        mixing.matrices = custom;
        return mixing;
    }
    return std::nullopt;
}

}  // namespace korvex
