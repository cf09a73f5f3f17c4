#pragma once

#include <array>

namespace korvex {

// A 2x3 affine matrix over pixel positions (x right, y down, pixel centres
// at whole numbers): (x, y) maps to (m[0]x + m[1]y + m[2], m[3]x + m[4]y + m[5]).
struct AffineMatrix {
    std::array<double, 6> m{1.0, 0.0, 0.0, 0.0, 1.0, 0.0};

    double mapX(double x, double y) const { return m[0] * x + m[1] * y + m[2]; }
    double mapY(double x, double y) const { return m[3] * x + m[4] * y + m[5]; }
    // This map followed by a shift.
    AffineMatrix shifted(double dx, double dy) const;
};

// What the right picture is turned into before the composition lays it over
// the left one: a rotation (degrees, positive clockwise on screen) and a
// scale about its centre, then a shift of under a pixel, the remainder of a
// translation whose whole pixels are the document's offsets.
struct RightCorrection {
    double rotationDegrees = 0.0;
    double scale = 1.0;
    double shiftX = 0.0;
    double shiftY = 0.0;

    bool isIdentity() const { return rotationDegrees == 0.0 && scale == 1.0 && shiftX == 0.0 && shiftY == 0.0; }
    bool operator==(const RightCorrection&) const = default;

    // Where a pixel of the picture as loaded lands in the corrected picture
    // of the same size.
    AffineMatrix matrixFor(int pixelsWide, int pixelsHigh) const;
};

}  // namespace korvex
