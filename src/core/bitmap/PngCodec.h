#pragma once

#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include <cstdint>
#include <span>

namespace korvex {

// PNG through libpng. Decoding keeps grey, grey + alpha, RGB and RGBA and
// 16 bits per sample; palettes become RGB (RGBA with transparency) and grey
// below 8 bits becomes 8-bit grey.
class PngCodec {
public:
    static bool matches(std::span<const std::uint8_t> data);
    static DecodeResult decode(std::span<const std::uint8_t> data);
    // Lossless in the bitmap's own model and depth; planar and padded layouts
    // are meshed row by row.
    static EncodeResult encode(const Bitmap& bitmap);
};

}  // namespace korvex
