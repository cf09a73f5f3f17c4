#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/Bitmap.h"

#include <memory>
#include <stop_token>

namespace korvex {

// The corrected right picture: the original resampled (bicubic) through the
// correction into a new bitmap of the same size and layout; 24- and 32-bit
// pictures by BicubicWarp on both cores, other layouts by OpenCV. What falls
// outside the original is black, and transparent where there is alpha.
// Null when memory is short, or when a stop was requested before it was done.
std::unique_ptr<Bitmap> resampleRightPicture(const Bitmap& original, const RightCorrection& correction,
                                             std::stop_token stop = {});

}  // namespace korvex
