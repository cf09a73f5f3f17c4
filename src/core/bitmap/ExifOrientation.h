#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <memory>
#include <span>

namespace korvex {

// The EXIF orientation of a JPEG stream (1 to 8); 1, upright, when the stream
// has none or an invalid one.
int exifOrientation(std::span<const std::uint8_t> jpeg);

// Turns a picture stored in the given EXIF orientation upright, keeping its
// layout. Returns false (leaving the bitmap as it was) when memory is short.
bool orientUpright(std::unique_ptr<Bitmap>& bitmap, int orientation);

}  // namespace korvex
