#include "core/compose/PairPlacement.h"

#include "core/compose/OverlapGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvex {

namespace {

struct WholeShift {
    double x = 0.0, y = 0.0;
};

// The composition moves the right picture by whole pixels: the difference of
// the first columns and rows it takes from each picture.
std::optional<WholeShift> wholeShift(const PairPlacement& p, Size leftPixels, Size rightPixels)
{
    const OverlapGeometry g = OverlapGeometry::compute(leftPixels, p.leftPin, rightPixels, p.rightPin,
                                                       p.horizontalOffset, p.verticalOffset);
    if (!g.overlaps())
        return std::nullopt;
    return WholeShift{double(g.ul) - g.ur, double(g.vl) - g.vr};
}

std::int32_t toOffset(double value)
{
    const double limit = std::numeric_limits<std::int32_t>::max();
    return std::int32_t(std::clamp(std::round(value), -limit, limit));
}

}  // namespace

std::optional<AffineMatrix> PairPlacement::rightToLeft(Size leftPixels, Size rightPixels) const
{
    const std::optional<WholeShift> shift = wholeShift(*this, leftPixels, rightPixels);
    if (!shift)
        return std::nullopt;
    return correction.matrixFor(int(rightPixels.width), int(rightPixels.height)).shifted(shift->x, shift->y);
}

PlacedAlignment placeAlignment(const PairAlignment& found, std::optional<double> windowParallax, Size leftPixels,
                               Size rightPixels, std::int32_t keptDepth)
{
    PairPlacement p;
    p.leftPin = {leftPixels.width / 2.0, leftPixels.height / 2.0};
    p.rightPin = {rightPixels.width / 2.0, rightPixels.height / 2.0};
    p.correction.rotationDegrees = found.rotationDegrees;
    p.correction.scale = found.scale;

    // The wanted translation of the right picture in the left one's grid.
    const double wantedX = windowParallax ? found.crossedNearest - *windowParallax : 0.0;
    const double wantedY = found.verticalShift;

    // Offsets move the picture by one pixel each, but where the whole-pixel
    // shift starts depends on the sizes and on which picture bounds the
    // overlap: guess, look at the shift the composition would make, correct.
    p.horizontalOffset = windowParallax ? 0 : keptDepth;
    p.verticalOffset = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const std::optional<WholeShift> shift = wholeShift(p, leftPixels, rightPixels);
        if (!shift)
            break;
        if (windowParallax)
            p.horizontalOffset = toOffset(p.horizontalOffset + std::round(wantedX) - shift->x);
        p.verticalOffset = toOffset(p.verticalOffset + std::round(wantedY) - shift->y);
    }
    const std::optional<WholeShift> shift = wholeShift(p, leftPixels, rightPixels);
    const double appliedX = windowParallax && shift ? wantedX : (shift ? shift->x : 0.0);
    if (shift) {
        p.correction.shiftX = appliedX - shift->x;
        p.correction.shiftY = wantedY - shift->y;
    }

    PlacedAlignment placed;
    placed.placement = p;
    placed.nearestParallax = appliedX - found.crossedNearest;
    placed.farthestParallax = appliedX - found.crossedFarthest;
    return placed;
}

}  // namespace korvex
