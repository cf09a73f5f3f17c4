#pragma once

#include "core/bitmap/ImageEncoder.h"
#include "core/stereo/AlignedPair.h"

namespace korvex {

// A "wiggle": an animation showing the left eye's picture, then the right
// eye's, looping forever, each for `frameMilliseconds`.
struct WiggleTiming {
    static constexpr int defaultMilliseconds = 120;
    // GIF counts in hundredths of a second and browsers slow anything under
    // two of them down; ten seconds a frame is no longer a wiggle.
    static constexpr int minMilliseconds = 20;
    static constexpr int maxMilliseconds = 10000;
};

// Animated GIF: each frame gets its own palette of up to 256 colours from
// libimagequant, made from the histogram of both frames and refined for
// each, and is dithered. Frame times are rounded to hundredths of a second.
EncodeResult encodeWiggleGif(const AlignedPair& pair, int frameMilliseconds);

// Animated WebP through libwebp: lossy, quality 90. Sides are at most 16383 pixels.
EncodeResult encodeWiggleWebp(const AlignedPair& pair, int frameMilliseconds);

}  // namespace korvex
