#pragma once

#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include <cstdint>
#include <span>

namespace korvex {

// JPEG through libjpeg-turbo. Grey decodes to one 8-bit sample, everything
// else to 8-bit RGB; CMYK and YCCK are converted to RGB.
class JpegCodec {
public:
    static bool matches(std::span<const std::uint8_t> data);
    static DecodeResult decode(std::span<const std::uint8_t> data);
    // Quality is round(compressionFactor * 100) clamped to 1..100, 90 when
    // absent. Grey bitmaps stay grey; alpha is flattened over white.
    static EncodeResult encode(const Bitmap& bitmap, const EncodeProperties& properties);

    static int qualityFor(const EncodeProperties& properties);
};

}  // namespace korvex
