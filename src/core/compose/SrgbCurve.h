#pragma once

#include <cmath>

namespace korvex {

// The sRGB transfer curve, components 0.0 to 1.0.
inline double srgbToLinear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline double linearToSrgb(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

}  // namespace korvex
