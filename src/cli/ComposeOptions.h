#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/compose/AnaglyphMethod.h"
#include "core/stereo/StereoFormat.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korvex {

// One composition: what a single run asks for, and what every job of a batch
// gets from the command line and its manifest line.
struct ComposeOptions {
    std::string left;    // the stereo file's path when stereoFile is set
    std::string right;   // empty for a stereo file
    std::string output;
    bool stereoFile = false;
    int glasses = 2;     // red and cyan, the commonest glasses
    bool colorize = true;
    AnaglyphMethod method = AnaglyphMethod::Classic;
    std::optional<MixingMatrices> matrix;  // the custom method's, and only its
    std::int32_t depth = 0;
    std::int32_t vertical = 0;
    std::optional<Point> leftPin;   // picture units, y upwards; centre when empty
    std::optional<Point> rightPin;
    std::string typeName;           // its prefix, in any case, chooses the encoding
    bool overwrite = false;         // an existing output is replaced only when asked
    // Empty until given; the output's name may imply the format (.mpo, .jps).
    std::optional<StereoFormat> format;
    std::optional<int> gap;                 // pixels between the eyes
    std::optional<int> wiggleMilliseconds;  // each frame of a wiggle
    // Automatic alignment, and where it puts the nearest part's crossed
    // parallax (pixels); empty keeps the depth given.
    bool autoAlign = false;
    std::optional<double> windowParallax = 0.0;
    bool windowGiven = false;
    // A correction of the right picture given by hand.
    std::optional<double> rotateDegrees;
    std::optional<double> scale;
    bool printAlignment = false;  // the applied placement as JSON on standard output
};

}  // namespace korvex
