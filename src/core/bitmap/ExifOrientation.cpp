#include "core/bitmap/ExifOrientation.h"

#include "core/bitmap/JpegSegments.h"
#include "core/bitmap/TiffDirectoryReader.h"

#include <cstring>

namespace korvex {

int exifOrientation(std::span<const std::uint8_t> jpeg)
{
    constexpr std::uint16_t orientationTag = 0x0112;
    constexpr std::uint16_t shortType = 3;
    const auto app1 = findJpegSegment(jpeg, 0xE1, std::string_view("Exif\0\0", 6));
    if (!app1)
        return 1;
    const auto tiff = TiffDirectoryReader::open(app1->payload.subspan(6));
    if (!tiff)
        return 1;
    const auto entry = tiff->find(tiff->firstDirectoryOffset(), orientationTag);
    if (!entry || entry->type != shortType || entry->count != 1)
        return 1;
    const int value = tiff->shortValue(*entry);
    return value >= 1 && value <= 8 ? value : 1;
}

bool orientUpright(std::unique_ptr<Bitmap>& bitmap, int orientation)
{
    if (!bitmap || orientation <= 1 || orientation > 8)
        return true;
    const int w = bitmap->pixelsWide();
    const int h = bitmap->pixelsHigh();
    const bool swaps = orientation >= 5;

    Bitmap::Layout layout = bitmap->layout();
    layout.pixelsWide = swaps ? h : w;
    layout.pixelsHigh = swaps ? w : h;
    layout.bytesPerRow = 0;
    auto turned = Bitmap::create(layout);
    if (!turned)
        return false;

    // Source column and row for each output pixel, by the EXIF definitions.
    auto source = [&](int x, int y, int& sx, int& sy) {
        switch (orientation) {
        case 2: sx = w - 1 - x; sy = y; break;
        case 3: sx = w - 1 - x; sy = h - 1 - y; break;
        case 4: sx = x; sy = h - 1 - y; break;
        case 5: sx = y; sy = x; break;
        case 6: sx = y; sy = h - 1 - x; break;
        case 7: sx = w - 1 - y; sy = h - 1 - x; break;
        default: sx = w - 1 - y; sy = x; break;  // 8
        }
    };

    const int planes = bitmap->numberOfPlanes();
    const std::size_t pixelBytes = bitmap->isPlanar() ? std::size_t(bitmap->bitsPerSample() / 8)
                                                      : std::size_t(bitmap->bitsPerPixel() / 8);
    for (int plane = 0; plane < planes; ++plane) {
        const std::uint8_t* in = bitmap->planeData(plane);
        std::uint8_t* out = turned->planeData(plane);
        for (int y = 0; y < layout.pixelsHigh; ++y) {
            std::uint8_t* row = out + std::size_t(y) * turned->bytesPerRow();
            for (int x = 0; x < layout.pixelsWide; ++x) {
                int sx, sy;
                source(x, y, sx, sy);
                std::memcpy(row + std::size_t(x) * pixelBytes,
                            in + std::size_t(sy) * bitmap->bytesPerRow() + std::size_t(sx) * pixelBytes, pixelBytes);
            }
        }
    }
    bitmap = std::move(turned);
    return true;
}

}  // namespace korvex
