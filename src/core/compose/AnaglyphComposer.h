#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/compose/OverlapGeometry.h"

namespace korvex {

// The pixel work of one composition: fills every pixel of a result canvas of
// the overlap's size from the two source pictures.
class AnaglyphComposer {
public:
    enum class Path { Bytes, PerPixel };

    // glasses 4 and up feed red from the right picture; 2 and 5 (cyan) dim
    // green and blue on the byte path. colorize false gives black and white.
    AnaglyphComposer(int glasses, bool colorize) : glasses_(glasses), colorize_(colorize) {}

    // Both pictures must be 24-bit or 32-bit meshed RGB for the byte path.
    static bool qualifiesForBytePath(const Bitmap& bitmap);
    static Path pathFor(const Bitmap& left, const Bitmap& right);

    // result must be an 8-bit RGB canvas of geometry.pixelsWide() x pixelsHigh(),
    // and the geometry must come from these pictures' sizes and pin points.
    // Returns once every row is written.
    void compose(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;

    // Above this many result pixels the byte path splits its rows between two threads.
    static constexpr long long parallelThreshold = 1 << 18;

private:
    void composeBytes(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;
    void composePerPixel(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;

    int glasses_;
    bool colorize_;
};

}  // namespace korvex
