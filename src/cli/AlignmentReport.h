#pragma once

#include "core/align/PairAlignment.h"
#include "core/compose/PairPlacement.h"

#include <optional>
#include <string>

namespace korvex {

// What --print-alignment writes: one JSON object, on one line, describing
// the placement that was applied. The fields that only a search can know
// (matches, inliers, residual, parallax) are null without one.
struct AlignmentReport {
    std::optional<PairAlignment> found;
    std::optional<PlacedAlignment> placed;
    PairPlacement applied;
    AffineMatrix rightToLeft;

    std::string json() const;
};

}  // namespace korvex
