#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/compose/OverlapGeometry.h"

#include <cstdint>
#include <memory>

namespace korvex {

enum class Eye { Left, Right };

// The two eyes of an aligned pair. Each eye's picture is its source
// picture's part of the overlap that the anaglyph covers, so every stereo
// format agrees with the anaglyph pixel for pixel in position. The pictures
// are lent and must outlive the pair; the geometry must come from them.
class AlignedPair {
public:
    AlignedPair(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry)
        : left_(left), right_(right), geometry_(geometry) {}

    // The overlap's size: every eye's picture is this big.
    int width() const { return geometry_.pixelsWide(); }
    int height() const { return geometry_.pixelsHigh(); }

    // Row y (counted from the top) of one eye's picture as 8-bit RGB, width() pixels.
    // Alpha is ignored as the anaglyph ignores it; grey gives r = g = b.
    void eyeRow(Eye eye, int y, std::uint8_t* rgb) const;

    // One eye's whole picture on an RGB canvas; null when memory is short.
    std::unique_ptr<Bitmap> eyePicture(Eye eye) const;

private:
    const Bitmap& left_;
    const Bitmap& right_;
    OverlapGeometry geometry_;
};

}  // namespace korvex
