#pragma once

#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include <cstdint>
#include <span>

namespace korvex {

// TIFF through libtiff, from and to memory (first directory only).
// Grey, grey + alpha, RGB and RGBA of 8 or 16 bits keep their layout, planes
// included; grey below 8 bits becomes 8-bit grey. Everything else libtiff can
// read (palette, CMYK, YCbCr, other depths, rotated) becomes 8-bit RGBA, or RGB
// in 32 bits per pixel when the file has no alpha.
class TiffCodec {
public:
    static bool matches(std::span<const std::uint8_t> data);
    static DecodeResult decode(std::span<const std::uint8_t> data);
    // Meshed grey, grey + alpha, RGB or RGBA in the bitmap's depth, alpha
    // unassociated; LZW with horizontal prediction when asked, else uncompressed.
    static EncodeResult encode(const Bitmap& bitmap, const EncodeProperties& properties);
};

}  // namespace korvex
