#pragma once

#include "cli/OptionSpec.h"

#include <string>
#include <vector>

namespace korvex {

// This run's part of the job list: the jobs at positions index-1 modulo count.
struct Shard {
    int index = 1;
    int count = 1;
};

// What --batch adds to the options of one composition.
struct BatchOptions {
    bool enabled = false;
    std::vector<std::string> inputs;  // files and folders
    std::string outDir;
    std::string manifest;
    bool recursive = false;
    unsigned jobs = 0;                // workers; 0 for one per core
    std::string reportPath;
    Shard shard;
    std::string outType = "jpg";      // the outputs' extension
    std::vector<std::string> given;   // the batch options named on the command line
};

// The batch options in the order the help lists them; a new one is a field
// above and a row in BatchOptionTable.cpp.
const std::vector<OptionSpec<BatchOptions>>& batchOptionTable();

}  // namespace korvex
