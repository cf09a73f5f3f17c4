#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace korvex {

// The stereoscopic descriptor that a JPS file may carry in an APP3
// "_JPSJPS_" segment.
struct JpsDescriptor {
    enum class Layout { Mono, Interleaved, SideBySide, OverUnder, Anaglyph, Unknown };
    Layout layout = Layout::Unknown;
    // The left eye's picture comes first (left half, top half, first row);
    // without this flag the file is stored cross-eyed, right eye first.
    bool leftFirst = false;
};

std::optional<JpsDescriptor> readJpsDescriptor(std::span<const std::uint8_t> jpeg);

}  // namespace korvex
