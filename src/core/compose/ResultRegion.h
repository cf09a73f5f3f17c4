#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/Bitmap.h"
#include "core/compose/AnaglyphComposer.h"
#include "core/compose/OverlapGeometry.h"
#include "core/compose/ReducedCopies.h"
#include "core/compose/RegionSampling.h"

#include <memory>
#include <optional>

namespace korvex {

// A part of the result: the rectangle x, y, width x height in its pixels
// (rows from the top; fractions where a zoomed-out view's pixels fall
// between the result's), made into outWide x outHigh pixels. Whole numbers
// and the same size give the part itself; fewer pixels give it as a
// zoomed-out view shows it.
struct ResultRegion {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    int outWide = 0;
    int outHigh = 0;

    bool isWholeScale() const;
    // Whether it lies in a picture of wide x high and makes at least one pixel.
    bool fitsIn(int wide, int high) const;
};

// What a region is composed from. `right` is the picture the composition
// lays over the left one, or, with a correction, the picture as loaded, which
// is then read through the correction. Reduced copies are optional; without
// them a zoomed-out region reads the pictures themselves.
struct RegionSources {
    const Bitmap* left = nullptr;
    const ReducedCopies* leftReduced = nullptr;
    const Bitmap* right = nullptr;
    const ReducedCopies* rightReduced = nullptr;
    std::optional<RightCorrection> rightCorrection;
};

// What a caller that composes region after region keeps, so that each one
// reuses the memory of the last: fresh pages are cleared by the system on
// first touch, which costs several times the composition itself.
struct RegionScratch {
    std::unique_ptr<Bitmap> left, right;  // the two pictures' reads at the region's scale
    std::unique_ptr<Bitmap> unsqueezed;   // an eye's pixels under a squeeze's taps
    std::unique_ptr<Bitmap> spare;        // a region's pixels the caller is done with
};

// Composes one region of the result of these pictures and this overlap.
// A region at whole scale of pictures without a pending correction is
// exactly those pixels of the full composition. Otherwise each output pixel
// reads each picture bilinearly at its centre, from the reduced copy whose
// pixels are the largest not coarser than the output's, and the composer
// mixes the two as it mixes the full pictures: the outcome is the full
// result reduced to this scale, within rounding on smooth pictures (at hard
// edges a mix of means and a mean of mixes part). Null when memory is short
// or the region lies outside the result.
std::unique_ptr<Bitmap> composeResultRegion(const AnaglyphComposer& composer, const RegionSources& sources,
                                            const OverlapGeometry& geometry, const ResultRegion& region,
                                            RegionScratch* scratch = nullptr);

// One picture's part of the overlap read at `inOverlap` (output pixels to the
// overlap's pixel-centre coordinates), `step` overlap pixels apart, into
// `slot` (reused when it has the size), as composeResultRegion reads it:
// exactly its pixels at whole numbers without a pending correction,
// bilinearly from the reduced copy that suits `step` otherwise.
bool readEyeRegion(bool left, const RegionSources& sources, const OverlapGeometry& geometry, const PixelMap& inOverlap,
                   double step, int outWide, int outHigh, std::unique_ptr<Bitmap>& slot);

}  // namespace korvex
