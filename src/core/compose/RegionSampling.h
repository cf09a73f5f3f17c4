#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/Bitmap.h"

namespace korvex {

// An affine map from output pixel indices (i, j) to pixel-centre coordinates
// in one picture (whole numbers at pixel centres).
struct PixelMap {
    double x0 = 0, xi = 0, xj = 0;  // x = x0 + xi * i + xj * j
    double y0 = 0, yi = 0, yj = 0;

    // The same positions on a level whose pixels are 2^k of these.
    PixelMap onLevel(int k) const;
    // This map followed by another.
    PixelMap then(const AffineMatrix& a) const;
    // Columns map to columns and rows to rows, as without a rotation.
    bool isAxisAligned() const { return xj == 0 && yi == 0; }
};

// Fills `out` (8-bit RGB) with bilinear reads of `picture` at every output
// pixel's mapped centre, rows [begin, end) only. A centre outside the picture
// is black (as the corrected picture is there); taps beyond the edge of a
// centre inside repeat the edge. Weights are in 256ths, rounded once at the end.
void sampleBilinear(const Bitmap& picture, const PixelMap& map, Bitmap& out, int begin, int end);

}  // namespace korvex
