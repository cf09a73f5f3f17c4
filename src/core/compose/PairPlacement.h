#pragma once

#include "core/align/PairAlignment.h"
#include "core/align/RightCorrection.h"
#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <optional>

namespace korvex {

// Everything that lays the right picture over the left one: the pin points,
// the whole-pixel offsets and the right picture's correction. One value, so
// that a change of all of them is one step.
struct PairPlacement {
    Point leftPin;
    Point rightPin;
    std::int32_t horizontalOffset = 0;
    std::int32_t verticalOffset = 0;
    RightCorrection correction;

    bool operator==(const PairPlacement&) const = default;

    // Maps a pixel position of the right picture as loaded to the position in
    // the left picture's pixel grid where the composition lays it. Empty when
    // the pictures (pixel sizes) do not overlap.
    std::optional<AffineMatrix> rightToLeft(Size leftPixels, Size rightPixels) const;
};

// A found alignment turned into a placement, and the screen parallax
// (x_right - x_left, positive behind the screen) that results.
struct PlacedAlignment {
    PairPlacement placement;
    double nearestParallax = 0.0;   // of the nearest part (2nd percentile)
    double farthestParallax = 0.0;  // of the farthest part (98th percentile)
};

// Pins at the centres; the vertical shift and, unless windowParallax is
// empty, the horizontal one that puts the nearest part's crossed parallax at
// windowParallax, split into whole-pixel offsets and a remainder under a
// pixel that the correction resamples. An empty windowParallax keeps
// keptDepth as the horizontal offset.
PlacedAlignment placeAlignment(const PairAlignment& found, std::optional<double> windowParallax, Size leftPixels,
                               Size rightPixels, std::int32_t keptDepth);

}  // namespace korvex
