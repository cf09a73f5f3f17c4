#pragma once

#include "cli/ComposeOptions.h"

#include <optional>
#include <string>

namespace korvex {

// Settles what OUTPUT gets from --format, --type and the output's name: the
// format (default the anaglyph; .mpo and .jps names imply theirs) and the
// type name the document encodes with. A format that the chosen file type
// cannot hold, a type that disagrees with the name, or --gap or --wiggle-ms
// with a format that has no use for them is a usage error, returned as its
// message.
std::optional<std::string> chooseOutput(ComposeOptions& options);

}  // namespace korvex
