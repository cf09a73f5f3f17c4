#pragma once

#include "core/compose/AnaglyphMethod.h"
#include "core/compose/MixingMatrices.h"
#include "core/compose/PairPlacement.h"
#include "core/stereo/StereoFormat.h"

#include <cstdint>

namespace korvex {

// Everything a user's command changes in a document besides the pictures
// themselves: what an undo step keeps and puts back.
struct DocumentState {
    std::int32_t glasses = 1;
    bool colorize = false;
    AnaglyphMethod method = AnaglyphMethod::Classic;
    MixingMatrices customMatrices;
    StereoFormat resultFormat = StereoFormat::Anaglyph;
    PairPlacement placement;

    bool operator==(const DocumentState&) const = default;
};

}  // namespace korvex
