#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

// One composition as the command line asks for it.
struct ComposeOptions {
    std::string left;    // the stereo file's path when stereoFile is set
    std::string right;   // empty for a stereo file
    std::string output;
    bool stereoFile = false;
    int glasses = 2;     // red and cyan, the commonest glasses
    bool colorize = true;
    std::int32_t depth = 0;
    std::int32_t vertical = 0;
    std::optional<Point> leftPin;   // picture units, y upwards; centre when empty
    std::optional<Point> rightPin;
    std::string typeName;           // its prefix chooses the encoding
};

struct CommandLine {
    enum class Action { Compose, Help, Version, UsageError };

    Action action = Action::UsageError;
    ComposeOptions options;
    std::string error;  // for UsageError: what was wrong, one line

    // args are the arguments after the program name.
    static CommandLine parse(const std::vector<std::string>& args);
    static std::string usage();
    static std::string help();
};

}  // namespace korvex
