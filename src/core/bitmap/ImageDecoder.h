#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace korvex {

// Pictures larger than this are refused from their header, before any pixel
// buffer is allocated.
struct ImageLimits {
    static constexpr int maxDimension = 65535;
    static constexpr std::uint64_t maxPixels = 16383ull * 16383ull;  // 268,402,689

    // Empty when a picture of width x height may be decoded, else the reason
    // ("picture too large: 100000 x 100000 pixels").
    static std::string check(std::uint64_t width, std::uint64_t height);

    // A picture whose bitmap would take more than this is first checked
    // against the size of its file.
    static constexpr std::uint64_t bigPictureBytes = std::uint64_t(64) << 20;

    // Empty unless the bitmap is big and the file is too short to fill it even
    // at the format's best compression (`units` of stored data, at most
    // `maxUnitsPerByte` of them per file byte); then the reason. Refuses tiny
    // files that declare huge pictures before their buffer is allocated.
    static std::string checkFileCanFill(std::uint64_t width, std::uint64_t height, std::uint64_t bitmapBytes,
                                        std::uint64_t units, std::uint64_t fileBytes, std::uint64_t maxUnitsPerByte);
};

struct DecodeResult {
    std::unique_ptr<Bitmap> bitmap;  // null when refused
    std::string error;               // why it was refused
    std::string warning;             // set when loaded despite damage (for example truncated)

    explicit operator bool() const { return bitmap != nullptr; }
};

// Decodes one picture (the first frame of a GIF) by its content, never by its
// name: PNG, JPEG, TIFF or GIF. The bitmap keeps the decoder's layout.
DecodeResult decodeImage(std::span<const std::uint8_t> data);
DecodeResult decodeImageFile(const std::string& path);

}  // namespace korvex
