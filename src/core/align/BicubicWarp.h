#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/Bitmap.h"

namespace korvex {

// Bicubic resampling (Keys, a = -0.75, as OpenCV's INTER_CUBIC) through an
// affine map, for the commonest layouts: 8-bit meshed pixels of 3 or 4 bytes.
// Each output pixel reads a 4 x 4 window of source pixels; samples outside
// the source count as 0. Rows are shared between both cores; inside the
// source the window is summed in SIMD fixed point.
//
// forward maps source positions to target positions (pixel centres at whole
// numbers). target must have the source's layout. Returns false, touching
// nothing, for any other layout or on a machine without SSE2.
bool warpBicubicBytes(const Bitmap& source, const AffineMatrix& forward, Bitmap& target);

}  // namespace korvex
