#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/bitmap/ImageDecoder.h"

#include <string_view>

namespace korvex {

// How a stereo file holds its two pictures, told by the exact suffix of its name.
enum class StereoLayout {
    None,            // an ordinary picture
    SideBySide,      // ".jps", ".JPS": left half and right half
    RowInterleaved,  // ".pns", ".PNS": odd and even rows, counted from the bottom
};

StereoLayout stereoLayoutForPath(std::string_view path);

// Cuts one eye's share out of a decoded stereo frame, in pixels, into an 8-bit
// RGBA bitmap that is transparent where nothing was copied. Role 1 (left)
// takes the left half or the odd rows; every other role the right half or the
// even rows.
//
// Odd sizes: each half of a side-by-side frame is floor(W / 2) wide; the left
// share starts at column 0 and the right share ends at the last column, so the
// middle column of an odd width belongs to neither. A row-interleaved canvas
// is floor(H / 2) + 1 rows high, filled from the bottom; the rows above the
// last copied one stay transparent.
DecodeResult cutStereoShare(const Bitmap& frame, StereoLayout layout, int role);

}  // namespace korvex
