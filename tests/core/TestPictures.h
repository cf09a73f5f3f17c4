#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/bitmap/ImageEncoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// Pictures and bytes made for the core and command-line tests.
namespace korvex::testing {

inline std::string corpusPath(const std::string& relative)
{
    return std::string(KORVEX_TEST_DATA_DIR) + "/corpus/" + relative;
}

inline std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A bitmap of the given layout whose samples follow a smooth pattern with
// some noise, written through the raw bytes (planes and padding included).
inline std::unique_ptr<Bitmap> patternBitmap(const Bitmap::Layout& layout, bool binaryAlpha = false)
{
    auto bitmap = Bitmap::create(layout);
    if (!bitmap)
        return bitmap;
    const int spp = layout.samplesPerPixel;
    const int bytes = layout.bitsPerSample / 8;
    std::uint32_t noise = 12345;
    for (int y = 0; y < bitmap->pixelsHigh(); ++y) {
        for (int x = 0; x < bitmap->pixelsWide(); ++x) {
            for (int s = 0; s < spp; ++s) {
                noise = noise * 1103515245u + 12345u;
                double v = std::fmod((x * (s + 1) * 7 + y * 5 + s * 40) / 255.0, 1.0);
                v = std::clamp(v + double((noise >> 16) % 9) / 255.0, 0.0, 1.0);
                if (layout.hasAlpha && s == spp - 1)
                    v = binaryAlpha ? ((x + y) % 5 == 0 ? 0.0 : 1.0) : ((x * 3 + y) % 256) / 255.0;
                std::uint8_t* p = layout.isPlanar
                                      ? bitmap->planeData(s) + std::size_t(y) * bitmap->bytesPerRow() + std::size_t(x) * bytes
                                      : bitmap->bitmapData() + std::size_t(y) * bitmap->bytesPerRow()
                                            + std::size_t(x) * std::size_t(bitmap->bitsPerPixel() / 8) + std::size_t(s) * bytes;
                if (bytes == 1) {
                    *p = std::uint8_t(std::lround(v * 255));
                } else {
                    const std::uint16_t w = std::uint16_t(std::lround(v * 65535));
                    std::memcpy(p, &w, 2);
                }
            }
        }
    }
    return bitmap;
}

// One colour everywhere (components 0.0 to 1.0), on an 8-bit RGB canvas.
inline std::unique_ptr<Bitmap> solidCanvas(int w, int h, double r, double g, double b)
{
    auto canvas = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            canvas->setColor(Color::rgb(r, g, b), x, y);
    return canvas;
}

inline std::vector<std::uint8_t> solidJpeg(int w, int h, double r, double g, double b)
{
    return representationUsingType(*solidCanvas(w, h, r, g, b), FileType::JPEG, {0.98f, {}}).data;
}

// The CRC of PNG chunks.
inline std::uint32_t crc32(const std::uint8_t* p, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

inline bool sameColour(const Color& a, const Color& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// Mean of |a - b| over red, green and blue of every pixel that is not
// transparent in both, in 0..255 units.
inline double meanDifference(const Bitmap& a, const Bitmap& b)
{
    double sum = 0;
    long counted = 0;
    for (int y = 0; y < a.pixelsHigh(); ++y)
        for (int x = 0; x < a.pixelsWide(); ++x) {
            const Color p = a.colorAt(x, y);
            const Color q = b.colorAt(x, y);
            if (p.alpha == 0.0 && q.alpha == 0.0)
                continue;
            sum += std::abs(p.red - q.red) + std::abs(p.green - q.green) + std::abs(p.blue - q.blue);
            ++counted;
        }
    return counted ? sum * 255.0 / (3.0 * double(counted)) : 0.0;
}

}  // namespace korvex::testing
