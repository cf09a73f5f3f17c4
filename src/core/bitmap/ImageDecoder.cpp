#include "core/bitmap/ImageDecoder.h"

#include "core/bitmap/GifCodec.h"
#include "core/bitmap/JpegCodec.h"
#include "core/bitmap/PngCodec.h"
#include "core/bitmap/TiffCodec.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace korvex {

std::string ImageLimits::check(std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0)
        return "picture has no pixels: " + std::to_string(width) + " x " + std::to_string(height);
    if (width > std::uint64_t(maxDimension) || height > std::uint64_t(maxDimension) || width * height > maxPixels)
        return "picture too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    return {};
}

DecodeResult decodeImage(std::span<const std::uint8_t> data)
{
    DecodeResult result;
    try {
        if (PngCodec::matches(data))
            return PngCodec::decode(data);
        if (JpegCodec::matches(data))
            return JpegCodec::decode(data);
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
    DecodeResult result;
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.error = "cannot open " + path + ": " + std::strerror(errno);
        return result;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        result.error = "cannot read " + path + ": " + std::strerror(errno);
        return result;
    }
    const long size = std::ftell(file.get());
    std::rewind(file.get());
    if (size < 0) {
        result.error = "cannot read " + path + ": " + std::strerror(errno);
        return result;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(std::size_t(size));
    } catch (const std::bad_alloc&) {
        result.error = "not enough memory to read " + path;
        return result;
    }
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        result.error = "cannot read " + path;
        return result;
    }
    return decodeImage(bytes);
}

}  // namespace korvex
