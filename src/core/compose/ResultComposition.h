#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/Bitmap.h"
#include "core/compose/AnaglyphComposer.h"
#include "core/compose/OverlapGeometry.h"
#include "core/stereo/StereoFormat.h"

#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>

namespace korvex {

// Everything one composition of the result reads, taken from the document
// at one moment, so that it can be composed off the window's thread. The
// pictures are lent: they must stay alive until the composition returns.
struct CompositionInputs {
    const Bitmap* left = nullptr;
    const Bitmap* right = nullptr;  // as loaded
    RightCorrection correction;
    // The right picture through the correction, when already made for this
    // correction; made by the composition otherwise.
    std::shared_ptr<const Bitmap> correctedRight;
    OverlapGeometry geometry;
    StereoFormat format = StereoFormat::Anaglyph;
    int gap = 0;
    AnaglyphComposer composer{1, false};
};

// The composition's outcome: the picture (null when there is none to show),
// why not, and the corrected right picture if it made one.
struct ComposedResult {
    std::unique_ptr<Bitmap> picture;
    std::string problem;
    std::shared_ptr<const Bitmap> correctedRight;
    bool stopped = false;
};

// Rows composed between two looks at the stop token: at most this many, and
// no more than about compositionBandPixels, so that a stop is seen within a
// millisecond or so however wide the picture.
constexpr int compositionBandRows = 256;
constexpr int compositionBandPixels = 1 << 19;

// Composes the whole result as the document shows and saves it: the anaglyph
// of the overlap, or the chosen frame format. A stop request ends it early
// with `stopped` set, and `picture`, if any, unfinished: only its memory is
// of use, to the next composition. `recycled` may lend its memory to the
// canvas.
ComposedResult composeResultPicture(const CompositionInputs& inputs, std::stop_token stop = {},
                                    std::unique_ptr<Bitmap> recycled = nullptr);

}  // namespace korvex
