#pragma once

#include "core/bitmap/ImageEncoder.h"
#include "core/stereo/AlignedPair.h"

#include <cstdint>
#include <span>
#include <vector>

namespace korvex {

// Joins a left and a right JPEG stream into one multi-picture (MPO) file the
// way stereo cameras write it: the left picture first, holding the MP index
// (two multi-frame disparity entries, the first marked representative) and
// its MP attributes, then the right picture with its own attributes
// (individual numbers 1 and 2, base viewpoint 1). Empty when either stream
// is not a JPEG or the file would pass the index's 32-bit sizes.
std::vector<std::uint8_t> joinMultiPicturePair(std::span<const std::uint8_t> left, std::span<const std::uint8_t> right);

// Encodes each eye's picture as JPEG with the given properties, both at once
// on two cores, and joins them.
EncodeResult encodeMultiPicture(const AlignedPair& pair, const EncodeProperties& jpeg);

}  // namespace korvex
