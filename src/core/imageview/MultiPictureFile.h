#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvex {

// The pictures of a multi-picture (MPO) file, read from the MP Index of the
// first picture's APP2 "MPF" segment.
struct MultiPictureIndex {
    // The first entry and the next multi-frame disparity entry (0x020002)
    // form a stereo pair when the first is a disparity picture too or a
    // baseline primary (0x030000); thumbnails between them are passed over.
    bool isStereoPair = false;
    std::span<const std::uint8_t> first;   // the first picture's JPEG stream
    std::span<const std::uint8_t> second;  // the second's, when a stereo pair
    std::string error;                     // set when the index is damaged, saying how
};

MultiPictureIndex readMultiPictureIndex(std::span<const std::uint8_t> file);

}  // namespace korvex
