#include "core/bitmap/ImageDecoder.h"

#include "core/bitmap/ExifOrientation.h"
#include "core/bitmap/FileBytes.h"
#include "core/bitmap/GifCodec.h"
#include "core/bitmap/JpegCodec.h"
#include "core/bitmap/PngCodec.h"
#include "core/bitmap/TiffCodec.h"

#include <new>

namespace korvex {

std::string ImageLimits::check(std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0)
        return "picture has no pixels: " + std::to_string(width) + " x " + std::to_string(height);
    if (width > std::uint64_t(maxDimension) || height > std::uint64_t(maxDimension) || width * height > maxPixels)
        return "picture too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    return {};
}

std::string ImageLimits::checkFileCanFill(std::uint64_t width, std::uint64_t height, std::uint64_t bitmapBytes,
                                          std::uint64_t units, std::uint64_t fileBytes, std::uint64_t maxUnitsPerByte)
{
    if (bitmapBytes <= bigPictureBytes || fileBytes * maxUnitsPerByte >= units)
        return {};
    return "file too short for a " + std::to_string(width) + " x " + std::to_string(height) + " picture: "
           + std::to_string(fileBytes) + " bytes cannot hold its pixel data";
}

DecodeResult decodeImage(std::span<const std::uint8_t> data)
{
    DecodeResult result;
    try {
        if (PngCodec::matches(data))
            return PngCodec::decode(data);
        if (JpegCodec::matches(data)) {
            // Photos are shown the way the camera was held.
            DecodeResult jpeg = JpegCodec::decode(data);
            if (jpeg && !orientUpright(jpeg.bitmap, exifOrientation(data)))
                return DecodeResult{nullptr, "not enough memory to turn the picture upright", {}};
            return jpeg;
        }
        if (TiffCodec::matches(data))
            return TiffCodec::decode(data);
        if (GifCodec::matches(data))
            return GifCodec::decode(data);
        result.error = data.empty() ? "file is empty" : "not a PNG, JPEG, TIFF or GIF picture";
    } catch (const std::bad_alloc&) {
        result = DecodeResult{};
        result.error = "not enough memory to decode the picture";
    }
    return result;
}

DecodeResult decodeImageFile(const std::string& path)
{
    const FileBytes file = readFileBytes(path);
    if (!file)
        return DecodeResult{nullptr, "cannot read " + path + ": " + file.error, {}};
    return decodeImage(file.data);
}

}  // namespace korvex
