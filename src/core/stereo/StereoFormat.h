#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace korvex {

// Every way Korvex shows an aligned stereo pair. The frame formats make one
// picture that any still file type can hold; the others are files of their own.
enum class StereoFormat {
    Anaglyph,
    SideBySide,       // left | right
    CrossEyed,        // right | left
    OverUnder,        // left above right
    HalfSideBySide,   // each eye squeezed to half width, the overlap's size
    HalfOverUnder,    // each eye squeezed to half height, the overlap's size
    InterleavedRows,  // even rows from the left eye, odd rows from the right
    Mpo,              // two JPEG pictures with a multi-picture index
    Jps,              // a cross-eyed JPEG marked with a "_JPSJPS_" descriptor
    Wiggle,           // an endless animation alternating the eyes
};

struct StereoFormatInfo {
    StereoFormat format;
    std::string_view code;  // the command line's name
    int storedValue;        // the number kept in the defaults; never reused
    bool isFrame;           // one picture that PNG, JPEG, GIF or TIFF can hold
    bool takesGap;          // the two eyes sit apart, with room for a gap
};

// All formats in menu order, the anaglyph first.
std::span<const StereoFormatInfo> stereoFormats();
const StereoFormatInfo& stereoFormatInfo(StereoFormat format);
std::optional<StereoFormat> stereoFormatFromCode(std::string_view code);
std::optional<StereoFormat> stereoFormatFromStoredValue(int value);

}  // namespace korvex
