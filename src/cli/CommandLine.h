#pragma once

#include "cli/ComposeOptions.h"

#include <string>
#include <vector>

namespace korvex {

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
