#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvex {

// Replaces a file all at once: the bytes go to a temporary file in the same
// folder, are flushed to the disk and renamed over the target. After a
// failure no temporary file is left and an existing target is untouched.
class AtomicFileWriter {
public:
    // Returns why the file could not be written, or an empty string.
    static std::string write(const std::string& path, std::span<const std::uint8_t> data);
};

}  // namespace korvex
