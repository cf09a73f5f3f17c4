#pragma once

#include "cli/ComposeJob.h"

#include <optional>

namespace korvex {

// A single run or batch job composed while its pictures stream through, when
// nothing in it needs a whole picture: two JPEG files, the placement given
// (pins, offsets, the right picture's turn and scale) or found by auto-align
// on reduced decodes, an anaglyph saved as JPEG or PNG. Its output is the same file
// that the whole-picture path writes, and its answers the same messages, but
// it holds only bands of rows and keeps both cores busy.
class StreamedComposeJob {
public:
    // Empty when the job needs the whole-picture path (ComposeJob::run takes
    // it then), otherwise the finished job's outcome.
    static std::optional<ComposeJob::Outcome> run(const ComposeOptions& options);
};

}  // namespace korvex
