#include "core/stereo/StereoFormat.h"

#include <array>

namespace korvex {

namespace {

constexpr std::array<StereoFormatInfo, 10> formats = {{
    {StereoFormat::Anaglyph, "anaglyph", 0, true, false},
    {StereoFormat::SideBySide, "side-by-side", 1, true, true},
    {StereoFormat::CrossEyed, "cross-eyed", 2, true, true},
    {StereoFormat::OverUnder, "over-under", 3, true, true},
    {StereoFormat::HalfSideBySide, "half-side-by-side", 4, true, false},
    {StereoFormat::HalfOverUnder, "half-over-under", 5, true, false},
    {StereoFormat::InterleavedRows, "interleaved", 6, true, false},
    {StereoFormat::Mpo, "mpo", 7, false, false},
    {StereoFormat::Jps, "jps", 8, false, false},
    {StereoFormat::Wiggle, "wiggle", 9, false, false},
}};

}  // namespace

std::span<const StereoFormatInfo> stereoFormats()
{
    return formats;
}

const StereoFormatInfo& stereoFormatInfo(StereoFormat format)
{
    for (const StereoFormatInfo& info : formats)
        if (info.format == format)
            return info;
    return formats[0];
}

std::optional<StereoFormat> stereoFormatFromCode(std::string_view code)
{
    for (const StereoFormatInfo& info : formats)
        if (info.code == code)
            return info.format;
    return std::nullopt;
}

std::optional<StereoFormat> stereoFormatFromStoredValue(int value)
{
    for (const StereoFormatInfo& info : formats)
        if (info.storedValue == value)
            return info.format;
    return std::nullopt;
}

}  // namespace korvex
