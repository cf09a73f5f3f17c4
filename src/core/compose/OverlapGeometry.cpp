#include "core/compose/OverlapGeometry.h"

#include <algorithm>

namespace korvex {

OverlapGeometry OverlapGeometry::compute(Size left, Point leftPin, Size right, Point rightPin,
                                         std::int32_t horizontalOffset, std::int32_t verticalOffset)
{
    const double dh = horizontalOffset;
    const double dv = verticalOffset;
    OverlapGeometry g;
    g.tl = left.height - leftPin.y;
    g.tr = right.height - rightPin.y - dv;
    g.xr = rightPin.x - dh;
    g.a = std::min(leftPin.x, g.xr);
    g.b = std::min(left.width - leftPin.x, right.width - g.xr);
    g.c = std::min(g.tl, g.tr);
    g.d = std::min(left.height - g.tl, right.height - g.tr);
    g.W = g.a + g.b;
    g.H = g.c + g.d;
    // Start values only mean something when there is an overlap; without one
    // they may lie far outside 32 bits, so they stay 0.
    if (g.overlaps()) {
        g.ul = std::int32_t(leftPin.x - g.a);
        g.ur = std::int32_t(g.xr - g.a);
        g.vl = std::int32_t(g.tl - g.c);
        g.vr = std::int32_t(g.tr - g.c);
    }
    return g;
}

int OverlapGeometry::pixelsWide() const
{
    return W >= 1.0 ? int(W) : 0;
}

int OverlapGeometry::pixelsHigh() const
{
    return H >= 1.0 ? int(H) : 0;
}

}  // namespace korvex
