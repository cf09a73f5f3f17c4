#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/bitmap/ImageEncoder.h"

#include <string_view>

namespace korvex {

// The encoding a saved result gets from its document type name's prefix,
// tested in order and case-sensitively: "PNG", "JP" (JPEG at 0.98), "GIF",
// and LZW-compressed TIFF for anything else.
struct ResultEncoding {
    FileType type = FileType::TIFF;
    EncodeProperties properties;

    static ResultEncoding forTypeName(std::string_view typeName);

    EncodeResult encode(const Bitmap& bitmap) const;
};

}  // namespace korvex
