#pragma once

#include "cli/batch/BatchJob.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvex {

// The jobs of a CSV manifest: a header naming the columns left, right and
// output, and optionally per-job settings named like the options of a single
// run ("glasses", "depth", "left_pin" for --left-pin ...). Relative paths are
// relative to the manifest's folder, outputs to outDir when one is given.
struct Manifest {
    std::vector<BatchJob> jobs;
    std::string error;  // "line N: ..." for the first fault; a usage error

    static Manifest read(const std::string& path, const std::string& outDir, const ComposeOptions& defaults);
    // The same for text already read; folder stands for the manifest's folder.
    static Manifest parse(std::string_view text, const std::string& folder, const std::string& outDir,
                          const ComposeOptions& defaults);
};

}  // namespace korvex
