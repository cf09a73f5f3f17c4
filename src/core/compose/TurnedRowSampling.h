#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex {

// The four-tap bilinear mix every preview read rounds to: taps p00 p10 above,
// p01 p11 below, weights of the second column and row in 256ths, rounded once.
inline std::uint8_t mixFourTaps(int p00, int p10, int p01, int p11, int wx, int wy)
{
    const int top = p00 * (256 - wx) + p10 * wx;
    const int bottom = p01 * (256 - wx) + p11 * wx;
    return std::uint8_t((top * (256 - wy) + bottom * wy + (1 << 15)) >> 16);
}

// A 24- or 32-bit picture's pixels (3 or 4 bytes each, colour first).
struct BytePicture {
    const std::uint8_t* pixels;
    std::size_t bytesPerRow;
    int wide, high, stride;
};

// A position plus half a pixel in 32.32 fixed point: a pixel centre inside
// the picture lies in 0 to its size.
using FixedPosition = std::int64_t;

// One output row of bilinear reads along a line that may turn: output pixel i
// reads at (x + i * stepX, y + i * stepY). A position outside the picture
// is black; taps beyond the edge of one inside repeat the edge. Each pixel is
// mixFourTaps of its taps; the weight rounds with the position, so a weight
// of 256 reads the next pixel whole. Sixteen pixels at a time with AVX-512
// (SimdLevel), the same bytes as one at a time.
void sampleTurnedRow(const BytePicture& picture, FixedPosition x, FixedPosition y, std::int64_t stepX,
                     std::int64_t stepY, std::uint8_t* out, int outWide);

}  // namespace korvex
