#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/bitmap/ImageDecoder.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace korvex {

// What kind of stereo file a path names, told by the exact suffix of its name.
enum class StereoLayout {
    None,            // an ordinary picture
    SideBySide,      // ".jps", ".JPS": left half and right half, unless the file says otherwise
    RowInterleaved,  // ".pns", ".PNS": odd and even rows, counted from the bottom
    MultiPicture,    // ".mpo", ".MPO": two whole JPEG pictures in one file
};

StereoLayout stereoLayoutForPath(std::string_view path);

// How one decoded frame holds the two eyes.
struct FrameSplit {
    enum class Kind {
        SideBySide,          // two halves side by side
        OverUnder,           // two halves one above the other
        RowsFromBottom,      // the ".pns" rule: the left eye takes rows 1, 3, 5, ... from the bottom
        AlternateRowsFromTop // marked interleaving: the first eye takes rows 0, 2, 4, ... from the top
    };
    Kind kind = Kind::SideBySide;
    bool leftFirst = true;  // the left eye is the left half, the top half or the first row
};

// Cuts one eye's share out of a decoded frame, in pixels, into an 8-bit RGBA
// bitmap that is transparent where nothing was copied. Role 1 is the left
// eye; every other role takes the right eye's share.
//
// Odd sizes: each half of a side-by-side or over-under frame is floor(W / 2)
// wide or floor(H / 2) high; the first half starts at the first column or
// row, the second ends at the last one, so the middle line of an odd size
// belongs to neither. A rows-from-bottom canvas is floor(H / 2) + 1 rows
// high, filled from the bottom; the rows above the last copied one stay
// transparent.
DecodeResult cutStereoShare(const Bitmap& frame, FrameSplit split, int role);

// Decodes a stereo file's bytes and keeps the share of the given role. A JPS
// file's "_JPSJPS_" descriptor, when present, says how the frame is split;
// an MPO file gives each eye a whole picture of its own.
DecodeResult loadStereoShare(std::span<const std::uint8_t> file, StereoLayout layout, int role);

// Both eyes' shares of a side-by-side or row-interleaved file from a single
// decode of its frame; a file that keeps its frame whole gives both eyes a
// copy of it. The same pictures as loadStereoShare for roles 1 and 2.
struct StereoShares {
    DecodeResult left;
    DecodeResult right;
};
StereoShares loadStereoShares(std::span<const std::uint8_t> file, StereoLayout layout);

}  // namespace korvex
