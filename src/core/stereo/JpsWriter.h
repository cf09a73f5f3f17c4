#pragma once

#include "core/bitmap/ImageEncoder.h"
#include "core/stereo/AlignedPair.h"

namespace korvex {

// A JPS file: the pair side by side in the JPS eye order (the right eye in
// the left half, no gap), encoded as JPEG with the given properties and
// marked with an APP3 "_JPSJPS_" descriptor saying so (stereo, side by side,
// left field not first).
EncodeResult encodeJps(const AlignedPair& pair, const EncodeProperties& jpeg);

}  // namespace korvex
