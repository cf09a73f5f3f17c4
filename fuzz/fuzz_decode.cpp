// Any bytes through the picture decoders and their limits; a decoded picture
// is encoded again as PNG so the encoder meets every layout a decoder makes.
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

// Encoding is the slow half; large pictures add time but no new paths.
constexpr std::uint64_t maxPixelsToEncode = 256 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korvex;
    const DecodeResult decoded = decodeImage(std::span<const std::uint8_t>(data, size));
    if (!decoded) {
        // A refusal must say why.
        if (decoded.error.empty())
            __builtin_trap();
        return 0;
    }
    const Bitmap& bitmap = *decoded.bitmap;
    if (bitmap.pixelsWide() < 1 || bitmap.pixelsHigh() < 1
        || !ImageLimits::check(std::uint64_t(bitmap.pixelsWide()), std::uint64_t(bitmap.pixelsHigh())).empty())
        __builtin_trap();
    if (std::uint64_t(bitmap.pixelsWide()) * std::uint64_t(bitmap.pixelsHigh()) <= maxPixelsToEncode) {
        const EncodeResult png = representationUsingType(bitmap, FileType::PNG, {});
        if (png ? png.data.empty() : png.error.empty())
            __builtin_trap();
    }
    return 0;
}
