#pragma once

#include "cli/ComposeOptions.h"

#include <string>

namespace korvex {

// One entry of a batch: a composition to run, or a picture that has nothing
// to be composed with and is only reported.
struct BatchJob {
    std::string name;        // the output's path below the output folder, without extension
    ComposeOptions options;  // left, right, output and every setting
    std::string skipReason;  // set when there is nothing to compose
};

}  // namespace korvex
