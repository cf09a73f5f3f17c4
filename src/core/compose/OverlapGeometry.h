#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>

namespace korvex {

// Where two pictures overlap once the right one's pin point is laid dh pixels
// right of and dv pixels below the left one's. Sizes and pins are in picture
// units with y upwards; the start rows count from the top edge.
struct OverlapGeometry {
    double tl = 0.0;  // left pin's distance from the top edge
    double tr = 0.0;  // right pin's distance from the top edge, less dv
    double xr = 0.0;  // right pin's x, less dh
    double a = 0.0;   // overlap width left of the common pin
    double b = 0.0;   // ... right of it
    double c = 0.0;   // overlap height above the common pin
    double d = 0.0;   // ... below it
    double W = 0.0;   // overlap size
    double H = 0.0;
    std::int32_t ul = 0;  // first column used in the left and the right picture
    std::int32_t ur = 0;
    std::int32_t vl = 0;  // first row used in the left and the right picture
    std::int32_t vr = 0;

    static OverlapGeometry compute(Size left, Point leftPin, Size right, Point rightPin,
                                   std::int32_t horizontalOffset, std::int32_t verticalOffset);

    // The result's pixel size; zero when the pictures do not overlap.
    int pixelsWide() const;
    int pixelsHigh() const;
    bool overlaps() const { return pixelsWide() >= 1 && pixelsHigh() >= 1; }
};

}  // namespace korvex
