#pragma once

// Bitmaps seen as OpenCV matrices. Private to the alignment library: nothing
// outside src/core/align includes OpenCV.
#include "core/bitmap/Bitmap.h"

#include <opencv2/core.hpp>

namespace korvex::opencv {

// The bitmap's samples as a matrix that shares its memory: the whole pixel
// for a meshed bitmap, one plane of a planar one.
cv::Mat sharedPixels(const Bitmap& bitmap, int plane = 0);

// A grey 8-bit copy shrunk by factor (at most 1), from any layout.
cv::Mat reducedGrey(const Bitmap& bitmap, double factor);

}  // namespace korvex::opencv
