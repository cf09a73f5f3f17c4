#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvex {

struct FileBytes {
    std::vector<std::uint8_t> data;
    std::string error;  // the reason when the file could not be read

    explicit operator bool() const { return error.empty(); }
};

// Reads a whole file; the error names the system's reason.
FileBytes readFileBytes(const std::string& path);

}  // namespace korvex
