#pragma once

#include "core/bitmap/Bitmap.h"

#include <stop_token>
#include <string>

namespace korvex {

// What matched features say about a stereo pair: the rotation and scale of
// the right picture about its centre and the vertical shift that bring each
// matched point to its partner's row in the left picture, and the crossed
// parallax (x_left - x_right) that remains once they are applied. The
// horizontal shift is left to the caller: it is where the stereo window goes.
struct PairAlignment {
    bool aligned = false;
    std::string failure;  // why not, for the user: "could not align: ..."

    int matches = 0;  // pairs of features that passed the ratio test
    int inliers = 0;  // of those, the ones the fit kept
    double rotationDegrees = 0.0;  // positive clockwise on screen
    double scale = 1.0;
    // Added to a right pixel's position after the rotation and scale, in the
    // left picture's grid: the picture sits at the same place at 0.
    double verticalShift = 0.0;
    double residual = 0.0;  // median |vertical difference| of the inliers after the fit, pixels
    // Crossed parallax of the inliers with no horizontal shift applied:
    // its 98th percentile (the nearest part) and its 2nd (the farthest).
    double crossedNearest = 0.0;
    double crossedFarthest = 0.0;

    // Finds the alignment; never throws. A stop request makes it give up
    // between steps with the failure "cancelled".
    static PairAlignment find(const Bitmap& left, const Bitmap& right, std::stop_token stop = {});

    // A picture of fullWide x fullHigh pixels, seen through `picture`: the
    // picture itself or a copy reduced evenly (the features are found on a
    // reduction anyway, so a reduced decode spares the full one).
    struct Study {
        const Bitmap& picture;
        int fullWide;
        int fullHigh;
    };
    static PairAlignment find(const Study& left, const Study& right, std::stop_token stop = {});

    // Features are found on copies of about this many pixels along the
    // longer side: enough for sub-pixel fits at full size, cheap at 24 MP.
    static constexpr int studiedSide = 1200;

    // The limits beyond which a correction would not be honest.
    static constexpr int minimumSide = 32;
    static constexpr int minimumInliers = 12;
    static constexpr double maximumRotationDegrees = 15.0;
    static constexpr double maximumScaleChange = 0.2;
};

}  // namespace korvex
