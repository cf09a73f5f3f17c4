#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvex {

// Replaces a file all at once: the bytes go to a temporary file in the same
// folder, are flushed to the disk and renamed over the target. After a
// failure, or a signal handled through TemporaryFiles, no temporary file is
// left and an existing target is untouched.
class AtomicFileWriter {
public:
    enum class Existing { Replace, Keep };

    // Returns why the file could not be written, or an empty string. With
    // Existing::Keep a file that exists at the end is left as it is and the
    // write fails with existsError.
    static std::string write(const std::string& path, std::span<const std::uint8_t> data,
                             Existing existing = Existing::Replace);

    static constexpr const char* existsError = "the file exists";
};

}  // namespace korvex
