#pragma once

// Camera-sized stereo pairs for the benchmarks: the bundled sample enlarged
// (bilinear) and saved as JPEGs of camera quality, so the decoders and the
// encoders see photograph-like data.
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace korvex::bench {

inline std::vector<std::uint8_t> enlargedSample(const char* name, int w, int h)
{
    const DecodeResult sample = decodeImageFile(std::string(KORVEX_SAMPLE_DIR) + "/" + name);
    if (!sample)
        return {};
    const Bitmap& s = *sample.bitmap;
    auto big = Bitmap::createRGBCanvas(w, h);
    const int sw = s.pixelsWide(), sh = s.pixelsHigh(), spp = s.bitsPerPixel() / 8;
    for (int y = 0; y < h; ++y) {
        const double fy = (y + 0.5) * sh / h - 0.5;
        const int y0 = std::clamp(int(fy), 0, sh - 1), y1 = std::min(y0 + 1, sh - 1);
        const double ty = std::clamp(fy - y0, 0.0, 1.0);
        std::uint8_t* out = big->bitmapData() + std::size_t(y) * big->bytesPerRow();
        for (int x = 0; x < w; ++x) {
            const double fx = (x + 0.5) * sw / w - 0.5;
            const int x0 = std::clamp(int(fx), 0, sw - 1), x1 = std::min(x0 + 1, sw - 1);
            const double tx = std::clamp(fx - x0, 0.0, 1.0);
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int xx, int yy) {
                    return double(s.bitmapData()[std::size_t(yy) * s.bytesPerRow() + std::size_t(xx) * spp + c]);
                };
                const double v = (at(x0, y0) * (1 - tx) + at(x1, y0) * tx) * (1 - ty)
                                 + (at(x0, y1) * (1 - tx) + at(x1, y1) * tx) * ty;
                out[3 * x + c] = std::uint8_t(v + 0.5);
            }
        }
    }
    EncodeProperties quality;
    quality.compressionFactor = 0.92f;
    return representationUsingType(*big, FileType::JPEG, quality).data;
}

// A 12, 24, 48 or 100 MP JPEG pair, made once in the
// temporary folder; KORVEX_BENCH_LEFT and KORVEX_BENCH_RIGHT name another
// 24 MP pair.
struct SamplePair {
    explicit SamplePair(int megapixels)
    {
        const char* givenLeft = std::getenv("KORVEX_BENCH_LEFT");
        const char* givenRight = std::getenv("KORVEX_BENCH_RIGHT");
        if (megapixels == 24 && givenLeft && givenRight) {
            left = givenLeft;
            right = givenRight;
            return;
        }
        // 3:2 frames, as a camera makes them (48: 8490 x 5660, 100: 12240 x 8160).
        const int w = megapixels == 12 ? 4000 : megapixels == 24 ? 6000 : megapixels == 48 ? 8490 : 12240;
        const int h = megapixels == 12 ? 3000 : megapixels == 24 ? 4000 : megapixels == 48 ? 5660 : 8160;
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("korvex-bench-" + std::to_string(megapixels));
        std::filesystem::create_directories(folder);
        left = (folder / "L.jpg").string();
        right = (folder / "R.jpg").string();
        for (auto [name, path] : {std::pair{"aloeL.jpg", &left}, std::pair{"aloeR.jpg", &right}}) {
            if (std::filesystem::exists(*path))
                continue;
            const std::vector<std::uint8_t> bytes = enlargedSample(name, w, h);
            std::ofstream(*path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
    }

    // 12, 24, 48 or 100 megapixels; anything else gives 12.
    static const SamplePair& of(int megapixels)
    {
        if (megapixels == 24) {
            static const SamplePair pair24(24);
            return pair24;
        }
        if (megapixels == 48) {
            static const SamplePair pair48(48);
            return pair48;
        }
        if (megapixels == 100) {
            static const SamplePair pair100(100);
            return pair100;
        }
        static const SamplePair pair12(12);
        return pair12;
    }

    std::string left, right;
};

}  // namespace korvex::bench
