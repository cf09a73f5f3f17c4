#pragma once

#include <string>

namespace korvex {

// The temporary files being written right now, from any thread, so that a
// program stopped by a signal can remove them before it ends: an interrupted
// save leaves either the old file or the new one, and nothing beside it.
class TemporaryFiles {
public:
    // mkostemp on the template (which it fills in) and records the file.
    // Returns the open descriptor, or -1 with errno set.
    static int create(std::string& pathTemplate);
    // Renames the file onto target and forgets it, in one step as removeAll
    // sees it. Without replace an existing target stays and EEXIST is the
    // answer. Returns 0 or an errno value; the temporary is gone either way.
    static int commit(const std::string& temporary, const std::string& target, bool replace);
    // Removes the file and forgets it.
    static void discard(const std::string& temporary);
    // Removes every recorded file and refuses new ones and commits from then
    // on: the program is ending. Not for signal handlers; call it from a
    // thread that received the signal with sigwait.
    static void removeAll();
};

}  // namespace korvex
