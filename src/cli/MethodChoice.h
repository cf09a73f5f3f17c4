#pragma once

#include "cli/ComposeOptions.h"

#include <optional>
#include <string>

namespace korvex {

// Checks --method and --matrix against each other, the glasses and the
// format: --matrix goes with the custom method only and custom needs it,
// Dubois needs glasses it has matrices for, and both options are for the
// anaglyph. Returns the usage error's message.
std::optional<std::string> checkMethodChoice(const ComposeOptions& options);

}  // namespace korvex
