#pragma once

#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include <cstdint>
#include <span>

namespace korvex {

// GIF through giflib. Decoding gives the first frame as 8-bit RGBA on the
// logical screen: the transparent index and everything outside the frame
// have alpha 0. Encoding writes one frame of at most 256 colours.
class GifCodec {
public:
    static bool matches(std::span<const std::uint8_t> data);
    static DecodeResult decode(std::span<const std::uint8_t> data);
    // Pictures of at most 256 colours (255 with transparency) keep them
    // exactly; others go through giflib's median cut, with each palette entry
    // then moved to the mean of the pixels it stands for. Alpha below 128
    // becomes the transparent index.
    static EncodeResult encode(const Bitmap& bitmap);
};

}  // namespace korvex
