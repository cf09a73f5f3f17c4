#pragma once

#include "core/compose/ResultRegion.h"
#include "core/stereo/StereoFormat.h"

#include <memory>

namespace korvex {

// Whether composeFrameRegion makes regions of frames of this format: every
// frame format but the anaglyph, which composeResultRegion makes.
bool framesRegions(StereoFormat format);

// Composes one region of such a frame, reading each eye's part of the
// overlap as composeResultRegion reads it; the gap is white. Null for other
// formats, when memory is short or the region lies outside the frame.
//
// At whole scale without a pending correction the region is exactly those
// pixels of the frame. The half formats get there by running the frame's own
// Squeeze over the eye's pixels under the region's taps only: a bilinear read
// there would be within 1 of 255 on smooth pictures but up to 58 off on
// photographs' fine detail (37 to 45 dB). With a pending correction the eye's
// pixels are read through it first, as composeResultRegion reads them.
//
// Zoomed out, each output pixel reads each eye bilinearly at its centre.
// Along a half format's squeeze an output pixel covers twice the eye's
// pixels it covers across, so it is the mean of two reads half its width
// apart, from the reduced copy that suits the step across: at powers of two
// they fall on the copy's pixels and make the squeeze's box. Against the
// frame's Lanczos squeeze reduced as the view reduces it, this is within 1 of
// 255 on linear ramps; on random smooth pictures the mean difference is 0.3
// to 0.8 down to 1/6 and up to 1.9 at 1/12 (the anaglyph's preview: 0.2 to
// 0.6), the worst where an output pixel straddles both eyes; on the sample
// photographs 31 to 44 dB (the anaglyph's: 32 to 42).
//
// Interleaved rows zoomed out: the view halves the frame before it scales it,
// which pairs each even row with the odd one below it, so from 1/2 down a
// view pixel is half one eye and half the other, the left eye's rows half a
// row above its centre and the right eye's half a row below; the preview
// reads them there and mixes them half and half. Between 1/2 and whole scale
// the view scales the frame itself, area by area, and each output row weighs
// the two eyes, read at its centre, by how much of it their rows cover.
std::unique_ptr<Bitmap> composeFrameRegion(StereoFormat format, int gap, const RegionSources& sources,
                                           const OverlapGeometry& geometry, const ResultRegion& region,
                                           RegionScratch* scratch = nullptr);

}  // namespace korvex
