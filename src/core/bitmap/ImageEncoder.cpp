#include "core/bitmap/ImageEncoder.h"

#include "core/bitmap/GifCodec.h"
#include "core/bitmap/JpegCodec.h"
#include "core/bitmap/PngCodec.h"
#include "core/bitmap/TiffCodec.h"

#include <new>

namespace korvex {

EncodeResult representationUsingType(const Bitmap& bitmap, FileType type, const EncodeProperties& properties)
{
    try {
        switch (type) {
        case FileType::PNG: return PngCodec::encode(bitmap);
        case FileType::JPEG: return JpegCodec::encode(bitmap, properties);
        case FileType::GIF: return GifCodec::encode(bitmap);
        case FileType::TIFF: return TiffCodec::encode(bitmap, properties);
        }
        EncodeResult result;
        result.error = "unknown file type";
        return result;
    } catch (const std::bad_alloc&) {
        EncodeResult result;
        result.error = "not enough memory to encode the picture";
        return result;
    }
}

}  // namespace korvex
