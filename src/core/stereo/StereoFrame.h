#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/stereo/AlignedPair.h"
#include "core/stereo/StereoFormat.h"

#include <stop_token>
#include <string>

namespace korvex {

// The picture a frame format makes of an overlap of width x height, or why
// it cannot be made.
struct StereoFrameSize {
    int width = 0;
    int height = 0;
    std::string error;

    explicit operator bool() const { return error.empty(); }
};

// Side by side and cross-eyed are 2 * width + gap wide, over-under
// 2 * height + gap high; the half formats and interleaved rows keep the
// overlap's size. Half formats need at least 2 pixels in the squeezed
// direction; no side may pass 65535 pixels.
StereoFrameSize stereoFrameSize(StereoFormat format, int width, int height, int gap);

// Fills an 8-bit RGB canvas of stereoFrameSize's size with the pair laid out
// in a frame format other than the anaglyph. The gap is white.
//
// Half formats squeeze each eye into floor(size / 2) columns or rows (see
// Squeeze); the left eye takes the first ones, the right eye the last, so
// with an odd size the white middle line belongs to neither, as the stereo
// file reader splits them. Interleaved rows: frame row y is row y of the
// left eye's picture when y is even and of the right eye's when y is odd.
// Returns false when memory for the squeeze is short. A stop request ends
// the work between rows, leaving the rest of the canvas unwritten.
bool fillStereoFrame(const AlignedPair& pair, StereoFormat format, int gap, Bitmap& canvas, std::stop_token stop = {});

}  // namespace korvex
