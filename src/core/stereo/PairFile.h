#pragma once

#include "core/bitmap/ImageEncoder.h"
#include "core/stereo/AlignedPair.h"
#include "core/stereo/StereoFormat.h"

#include <optional>
#include <span>
#include <string_view>

namespace korvex {

// The file types that always hold the aligned pair in a format of their own,
// whatever the result shows.
enum class PairFileType { Mpo, Jps, WiggleGif, WiggleWebp };

struct PairFileTypeInfo {
    PairFileType type;
    std::string_view typeName;   // the save panel's exact type name
    std::string_view extension;  // without the dot, lower case
    StereoFormat format;
};

std::span<const PairFileTypeInfo> pairFileTypes();
const PairFileTypeInfo& pairFileTypeInfo(PairFileType type);
// Matched by the exact name, before the still types' prefix rule ("JPS"
// would otherwise read as JPEG).
std::optional<PairFileType> pairFileTypeForName(std::string_view typeName);
// By extension, any case: "mpo", "jps", "gif" for the wiggle and "webp".
std::optional<PairFileType> pairFileTypeForExtension(std::string_view extension, StereoFormat format);

struct PairFileOptions {
    EncodeProperties jpeg;  // MPO and JPS
    int wiggleMilliseconds = 120;
};

EncodeResult encodePairFile(const AlignedPair& pair, PairFileType type, const PairFileOptions& options);

}  // namespace korvex
