#include "core/compose/ResultEncoding.h"

namespace korvex {

ResultEncoding ResultEncoding::forTypeName(std::string_view typeName)
{
    ResultEncoding encoding;
    if (typeName.starts_with("PNG")) {
        encoding.type = FileType::PNG;
    } else if (typeName.starts_with("JP")) {
        encoding.type = FileType::JPEG;
        encoding.properties.compressionFactor = 0.98f;
    } else if (typeName.starts_with("GIF")) {
        encoding.type = FileType::GIF;
    } else {
        encoding.type = FileType::TIFF;
        encoding.properties.compressionMethod = compressionMethodLZW;
    }
    return encoding;
}

EncodeResult ResultEncoding::encode(const Bitmap& bitmap) const
{
    return representationUsingType(bitmap, type, properties);
}

}  // namespace korvex
