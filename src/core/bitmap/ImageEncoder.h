#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

// File type values as the document's encoding choice names them.
enum class FileType { TIFF = 0, GIF = 2, JPEG = 3, PNG = 4 };

inline constexpr int compressionMethodLZW = 5;

struct EncodeProperties {
    std::optional<float> compressionFactor;  // JPEG: 0.0 (smallest) to 1.0 (best)
    std::optional<int> compressionMethod;    // TIFF: compressionMethodLZW
};

struct EncodeResult {
    std::vector<std::uint8_t> data;  // empty on failure
    std::string error;

    explicit operator bool() const { return error.empty(); }
};

// Encodes any bitmap layout to the given file type.
EncodeResult representationUsingType(const Bitmap& bitmap, FileType type, const EncodeProperties& properties);

}  // namespace korvex
