#pragma once

#include "cli/ComposeOptions.h"
#include "cli/OptionSpec.h"

#include <vector>

namespace korvex {

// The options of one composition, in the order the help lists them. A new
// option is a field of ComposeOptions plus one row here; a batch manifest's
// column of the same name (with '_' for '-') sets it per job.
const std::vector<OptionSpec<ComposeOptions>>& composeOptionTable();

}  // namespace korvex
