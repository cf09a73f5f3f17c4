#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace korvex {

// One marker segment of a JPEG header: its marker byte and its payload (the
// bytes after the two length bytes).
struct JpegSegment {
    std::uint8_t marker = 0;
    std::span<const std::uint8_t> payload;
    std::size_t payloadOffset = 0;  // from the start of the stream
};

// Finds the first segment before the scan data whose marker is `marker` and
// whose payload starts with `signature`. Stops quietly at malformed headers.
std::optional<JpegSegment> findJpegSegment(std::span<const std::uint8_t> jpeg, std::uint8_t marker,
                                           std::string_view signature);

bool isJpeg(std::span<const std::uint8_t> data);

// A copy of the stream with a marker segment (marker, length, payload) put
// after the start-of-image marker and any APP0 (JFIF) and APP1 (EXIF)
// segments that lead the header, where readers look for APP2 and APP3.
// Empty when the stream is not a JPEG or the payload is longer than a
// segment can hold.
std::vector<std::uint8_t> withJpegSegment(std::span<const std::uint8_t> jpeg, std::uint8_t marker,
                                          std::span<const std::uint8_t> payload);

}  // namespace korvex
