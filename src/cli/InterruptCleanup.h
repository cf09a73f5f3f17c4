#pragma once

namespace korvex {

// Ctrl+C or a SIGTERM ends the program as the signal would, but first removes
// the temporary files being written (TemporaryFiles), so a stopped run leaves
// only complete outputs. Call install before any thread starts: the signals
// are blocked in every thread and taken by one thread of their own, where
// removing files is safe.
class InterruptCleanup {
public:
    static void install();
};

}  // namespace korvex
