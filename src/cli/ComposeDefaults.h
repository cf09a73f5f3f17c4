#pragma once

#include "cli/ComposeOptions.h"
#include "core/compose/MemoryDefaults.h"

namespace korvex {

// The settings of a run as a window's start-up reads them from its defaults,
// so the command line gets the window's rules for unknown values.
MemoryDefaults composeDefaults(const ComposeOptions& options);

}  // namespace korvex
