#pragma once

#include "cli/CommandLine.h"

#include <string>
#include <vector>

namespace korvex {

// Loads the pictures, composes them as the window would and writes OUTPUT.
class ComposeJob {
public:
    struct Outcome {
        int exitStatus = 0;                 // 0 written, 1 failed
        std::string error;                  // names the file and the reason
        std::vector<std::string> warnings;  // pictures loaded despite damage
        std::string alignmentJson;          // for --print-alignment, once written
    };

    // Streams the pictures through in rows when nothing in the job needs them
    // whole (StreamedComposeJob), otherwise runWithWholePictures.
    static Outcome run(const ComposeOptions& options);
    // Decodes both pictures whole, composes them as the window would and
    // encodes the result: the path every job can take.
    static Outcome runWithWholePictures(const ComposeOptions& options);
};

}  // namespace korvex
