#pragma once

#include "cli/ComposeOptions.h"
#include "cli/batch/BatchOptions.h"

#include <iosfwd>

namespace korvex {

// korvex-compose --batch: finds or reads the jobs, takes this shard's part,
// runs them on the workers through the single run's ComposeJob, shows the
// progress and writes the report. Returns the exit status: 0 every job done
// or skipped, 1 a job failed, 2 a usage error.
class BatchCommand {
public:
    static int run(const ComposeOptions& defaults, const BatchOptions& batch, std::ostream& err, bool errIsTerminal);
};

}  // namespace korvex
