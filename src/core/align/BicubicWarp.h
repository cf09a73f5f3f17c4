#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/Bitmap.h"

#include <stop_token>

namespace korvex {

// Bicubic resampling (Keys, a = -0.75, as OpenCV's INTER_CUBIC) through an
// affine map, for the commonest layouts: 8-bit meshed pixels of 3 or 4 bytes.
// Each output pixel reads a 4 x 4 window of source pixels; samples outside
// the source count as 0. Rows are shared between both cores; inside the
// source the window is summed in SIMD fixed point.
//
// forward maps source positions to target positions (pixel centres at whole
// numbers). target must have the source's layout. Returns false, touching
// nothing, for any other layout or on a machine without SSE2. A stop request
// ends the work between bands of rows, leaving the rest of target unwritten.
bool warpBicubicBytes(const Bitmap& source, const AffineMatrix& forward, Bitmap& target, std::stop_token stop = {});

// Whether a bitmap of this (filled-in) layout is resampled here.
bool warpsBicubicBytes(const Bitmap::Layout& layout);

// Source rows [first, end).
struct SourceRowSpan {
    int first = 0;
    int end = 0;
};

// The source rows that target rows [firstRow, endRow) read, for a source
// and target of pixelsWide x pixelsHigh.
SourceRowSpan sourceRowsReached(const AffineMatrix& forward, int pixelsWide, int pixelsHigh, int firstRow, int endRow);

// Target rows [firstRow, firstRow + count) into band from its row bandRow on, the
// same bytes warpBicubicBytes gives them, from sourceRows, whose row i holds
// row sourceRowsTop + i of a source sourceHigh rows high and which covers
// sourceRowsReached for those rows. One thread; false as warpBicubicBytes.
bool warpBicubicBand(const Bitmap& sourceRows, int sourceRowsTop, int sourceHigh, const AffineMatrix& forward,
                     Bitmap& band, int bandRow, int firstRow, int count);

}  // namespace korvex
