#include "cli/AlignmentReport.h"

#include <nlohmann/json.hpp>

namespace korvex {

std::string AlignmentReport::json() const
{
    const nlohmann::json none;
    const std::array<double, 6>& m = rightToLeft.m;
    nlohmann::json report{
        {"matches", found ? nlohmann::json(found->matches) : none},
        {"inliers", found ? nlohmann::json(found->inliers) : none},
        {"rotation_degrees", applied.correction.rotationDegrees},
        {"scale", applied.correction.scale},
        // The whole-pixel offsets with the remainder the resampling applies.
        {"vertical_px", applied.verticalOffset + applied.correction.shiftY},
        {"depth_px", applied.horizontalOffset + applied.correction.shiftX},
        {"residual_px", found ? nlohmann::json(found->residual) : none},
        {"parallax_px",
         placed ? nlohmann::json::array({placed->nearestParallax, placed->farthestParallax}) : none},
        {"right_to_left", nlohmann::json::array({{m[0], m[1], m[2]}, {m[3], m[4], m[5]}})},
    };
    return report.dump();
}

}  // namespace korvex
