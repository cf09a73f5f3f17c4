#pragma once

#include "cli/ComposeOptions.h"
#include "cli/batch/BatchOptions.h"

#include <string>
#include <vector>

namespace korvex {

struct CommandLine {
    enum class Action { Compose, Batch, Help, Version, UsageError };

    Action action = Action::UsageError;
    ComposeOptions options;  // for a batch: what every job starts from
    BatchOptions batch;
    std::string error;  // for UsageError: what was wrong, one line

    // args are the arguments after the program name.
    static CommandLine parse(const std::vector<std::string>& args);
    static std::string usage();
    static std::string help();
};

}  // namespace korvex
