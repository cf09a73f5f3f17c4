#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace korvex {

// Gives an encoder the rows of any bitmap layout as meshed rows of the form
// it writes: 1 (grey), 2 (grey + alpha), 3 (RGB) or 4 (RGBA) samples of 8 or
// 16 bits, native byte order. Grey targets are for grey bitmaps only. Grey
// widens to RGB by copying; a missing alpha reads as opaque; an alpha that the
// target has no room for is flattened over white.
class RowConverter {
public:
    RowConverter(const Bitmap& bitmap, int targetSamples, int targetBits);

    int rowCount() const { return bitmap_.pixelsHigh(); }
    std::size_t rowBytes() const;
    // Row y (from the top) in the target form: the bitmap's own row when it
    // already has that form, otherwise converted into `scratch` (rowBytes() long).
    const std::uint8_t* row(int y, std::uint8_t* scratch) const;

private:
    const Bitmap& bitmap_;
    int targetSamples_;
    int targetBits_;
    bool direct_;
};

}  // namespace korvex
