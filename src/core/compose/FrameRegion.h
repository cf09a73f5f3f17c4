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
// Squeeze over the eye's pixels under the region's taps only.
//
// Zoomed out, each output pixel reads each eye bilinearly at its centre.
// A half format's squeezed axis is read twice as far apart, from the
// reduced copy that suits the other axis: there a read falls halfway between
// two of the copy's pixels and is their mean, the squeeze's box. Against the
// frame's Lanczos squeeze reduced by halving, that is within 3 of 255 at
// 1/2 to 1/8 on smooth pictures; on the sample photographs the two stay as
// close as the anaglyph's preview and its whole result.
//
// Interleaved rows zoomed out: the view halves the frame before it scales it,
// which pairs each even row with the odd one below it, so from 1/2 down a
// view pixel is half one eye and half the other, and the preview mixes both
// eyes' reads half and half. Between 1/2 and whole scale the view scales the
// frame itself, and each output row weighs the eyes by how much of it their
// rows cover.
std::unique_ptr<Bitmap> composeFrameRegion(StereoFormat format, int gap, const RegionSources& sources,
                                           const OverlapGeometry& geometry, const ResultRegion& region,
                                           RegionScratch* scratch = nullptr);

}  // namespace korvex
