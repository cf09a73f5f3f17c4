#include "core/align/RightCorrection.h"

#include <cmath>
#include <numbers>

namespace korvex {

AffineMatrix AffineMatrix::shifted(double dx, double dy) const
{
    AffineMatrix result = *this;
    result.m[2] += dx;
    result.m[5] += dy;
    return result;
}

AffineMatrix RightCorrection::matrixFor(int pixelsWide, int pixelsHigh) const
{
    // With y down, the usual rotation matrix turns clockwise on screen.
    const double radians = rotationDegrees * std::numbers::pi / 180.0;
    const double a = scale * std::cos(radians);
    const double b = scale * std::sin(radians);
    const double cx = (pixelsWide - 1) / 2.0;
    const double cy = (pixelsHigh - 1) / 2.0;
    AffineMatrix map;
    map.m = {a, -b, cx - a * cx + b * cy + shiftX, b, a, cy - b * cx - a * cy + shiftY};
    return map;
}

}  // namespace korvex
