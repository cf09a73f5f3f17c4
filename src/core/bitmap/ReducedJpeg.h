#pragma once

#include "core/bitmap/Bitmap.h"

#include <memory>
#include <string>

namespace korvex {

// A JPEG file decoded at a fraction of its size by libjpeg's DCT scaling,
// which skips most of the work of a full decode: for studying a picture
// (auto-align) without holding or decoding the whole of it.
struct ReducedJpeg {
    std::unique_ptr<Bitmap> bitmap;  // null when the file is refused or no JPEG
    int storedWide = 0;              // the picture's own size
    int storedHigh = 0;
    int exifOrientation = 1;

    // Reduced by the largest of 1/2, 1/4 and 1/8 that keeps the longer side
    // at least longerSide pixels long. A damaged file gives what a whole
    // decode would give of it, reduced.
    static ReducedJpeg decode(const std::string& path, int longerSide);
};

}  // namespace korvex
