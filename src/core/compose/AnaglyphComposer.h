#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/compose/AnaglyphMethod.h"
#include "core/compose/OverlapGeometry.h"
#include "core/tasks/BothCores.h"

namespace korvex {

// The pixel work of one composition: fills every pixel of a result canvas of
// the overlap's size from the two source pictures.
class AnaglyphComposer {
public:
    enum class Path { Bytes, PerPixel };

    // The classic method maps channels by the glasses type's table row (the
    // first six: red from the red eye's picture; 2 and 5, cyan, dim green
    // and blue on the byte path); colorize false gives black and white.
    // Every other method mixes by its matrices (MatrixComposer); custom
    // takes customMatrices. A method the glasses do not offer composes classic.
    AnaglyphComposer(int glasses, bool colorize, AnaglyphMethod method = AnaglyphMethod::Classic,
                     const MixingMatrices& customMatrices = {})
        : glasses_(glasses), colorize_(colorize), method_(method), customMatrices_(customMatrices)
    {
    }

    // Both pictures must be 24-bit or 32-bit meshed RGB for the byte path.
    static bool qualifiesForBytePath(const Bitmap& bitmap);
    static Path pathFor(const Bitmap& left, const Bitmap& right);
    // Bytes per pixel on the byte path: a 32-bit pixel of three samples carries a pad byte.
    static int bytePathStride(const Bitmap& bitmap);

    // result must be an 8-bit RGB canvas of geometry.pixelsWide() x pixelsHigh(),
    // and the geometry must come from these pictures' sizes and pin points.
    // Returns once every row is written.
    void compose(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;
    // As compose, but the classic method takes the given path whatever the
    // pictures' layouts: byte copies standing in for pictures that compose
    // per pixel must mix as those pictures do (no dimming there).
    void composeOnPath(Path path, const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry,
                       Bitmap& result) const;

    // Above this many result pixels the byte path splits its rows between two threads.
    static constexpr long long parallelThreshold = parallelPixels;

private:
    void composeBytes(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;
    void composePerPixel(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;

    int glasses_;
    bool colorize_;
    AnaglyphMethod method_;
    MixingMatrices customMatrices_;
};

}  // namespace korvex
