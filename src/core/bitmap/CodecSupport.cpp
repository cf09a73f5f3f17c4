#include "core/bitmap/CodecSupport.h"

#include <cstring>

namespace korvex::codec {

void copyMessage(char (&target)[messageSize], const char* text)
{
    if (!text)
        text = "unknown error";
    std::strncpy(target, text, messageSize - 1);
    target[messageSize - 1] = '\0';
}

std::unique_ptr<Bitmap> createDecodedBitmap(const Bitmap::Layout& layout, std::string& error)
{
    auto bitmap = Bitmap::create(layout);
    if (!bitmap)
        error = "not enough memory for a " + std::to_string(layout.pixelsWide) + " x "
                + std::to_string(layout.pixelsHigh) + " picture";
    return bitmap;
}

std::string damagedWarning(const std::string& cause, const char* filling)
{
    return "file is truncated or damaged (" + cause + "); the missing part is left " + filling;
}

const char* zeroFillingName(bool hasAlpha)
{
    return hasAlpha ? "transparent" : "black";
}

void clearRows(Bitmap& bitmap, int firstRow)
{
    if (firstRow >= bitmap.pixelsHigh())
        return;
    const std::size_t offset = std::size_t(firstRow) * bitmap.bytesPerRow();
    for (int plane = 0; plane < bitmap.numberOfPlanes(); ++plane)
        std::memset(bitmap.planeData(plane) + offset, 0, bitmap.planeBytes() - offset);
}

}  // namespace korvex::codec
