#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/bitmap/JpegCodec.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <set>

using namespace korvex;
using namespace korvex::testing;

namespace {

struct NamedLayout {
    const char* name;
    Bitmap::Layout layout;
};

std::vector<NamedLayout> layouts()
{
    const auto rgb = ColorSpace::CalibratedRGB;
    const auto grey = ColorSpace::CalibratedWhite;
    return {
        {"RGB canvas, padded rows", {37, 23, 8, 3, false, false, rgb}},
        {"grey", {37, 23, 8, 1, false, false, grey}},
        {"grey + alpha", {37, 23, 8, 2, true, false, grey}},
        {"RGBA", {37, 23, 8, 4, true, false, rgb}},
        {"RGB in 32 bits", {37, 23, 8, 3, false, false, rgb, 0, 32}},
        {"RGB 16", {37, 23, 16, 3, false, false, rgb}},
        {"RGBA 16 planar", {37, 23, 16, 4, true, true, rgb}},
        {"grey 16", {37, 23, 16, 1, false, false, grey}},
    };
}

// Exact comparison of every pixel's colour; colours under zero alpha do not count.
void expectSamePixels(const Bitmap& a, const Bitmap& b, const std::string& name)
{
    ASSERT_EQ(a.pixelsWide(), b.pixelsWide()) << name;
    ASSERT_EQ(a.pixelsHigh(), b.pixelsHigh()) << name;
    for (int y = 0; y < a.pixelsHigh(); ++y)
        for (int x = 0; x < a.pixelsWide(); ++x) {
            const Color p = a.colorAt(x, y);
            const Color q = b.colorAt(x, y);
            if (p.alpha == 0.0 && q.alpha == 0.0)
                continue;
            ASSERT_TRUE(sameColour(p, q))
                << name << " at " << x << "," << y;
        }
}

DecodeResult roundTrip(const Bitmap& bitmap, FileType type, EncodeProperties properties = {})
{
    auto encoded = representationUsingType(bitmap, type, properties);
    EXPECT_TRUE(encoded) << encoded.error;
    EXPECT_FALSE(encoded.data.empty());
    return decodeImage(encoded.data);
}

}  // namespace

TEST(ImageEncoder, PngAndTiffAreLosslessFromEveryLayout)
{
    EncodeProperties lzw;
    lzw.compressionMethod = compressionMethodLZW;
    for (const auto& [name, layout] : layouts()) {
        auto source = patternBitmap(layout);
        ASSERT_TRUE(source) << name;
        for (auto [type, properties, label] : {std::tuple{FileType::PNG, EncodeProperties{}, "PNG"},
                                               std::tuple{FileType::TIFF, EncodeProperties{}, "TIFF"},
                                               std::tuple{FileType::TIFF, lzw, "TIFF LZW"}}) {
            auto back = roundTrip(*source, type, properties);
            ASSERT_TRUE(back) << label << " " << name << ": " << back.error;
            EXPECT_EQ(back.bitmap->bitsPerSample(), layout.bitsPerSample) << label << " " << name;
            EXPECT_EQ(back.bitmap->samplesPerPixel(), layout.samplesPerPixel) << label << " " << name;
            expectSamePixels(*source, *back.bitmap, std::string(label) + " " + name);
        }
    }
}

TEST(ImageEncoder, TiffLzwIsSmallerThanUncompressed)
{
    auto source = patternBitmap({200, 100, 8, 3, false, false, ColorSpace::CalibratedRGB});
    EncodeProperties lzw;
    lzw.compressionMethod = compressionMethodLZW;
    auto packed = representationUsingType(*source, FileType::TIFF, lzw);
    auto plain = representationUsingType(*source, FileType::TIFF, {});
    ASSERT_TRUE(packed);
    ASSERT_TRUE(plain);
    EXPECT_GT(plain.data.size(), 200u * 100u * 3u);
    EXPECT_LT(packed.data.size(), plain.data.size());
}

TEST(ImageEncoder, JpegIsCloseAndFlattensAlphaOverWhite)
{
    EncodeProperties best;
    best.compressionFactor = 1.0f;
    for (const auto& [name, layout] : layouts()) {
        auto source = patternBitmap(layout);
        auto back = roundTrip(*source, FileType::JPEG, best);
        ASSERT_TRUE(back) << name << ": " << back.error;
        EXPECT_EQ(back.bitmap->samplesPerPixel(), isGreyColorSpace(layout.colorSpace) ? 1 : 3) << name;
        EXPECT_FALSE(back.bitmap->hasAlpha());
        if (!layout.hasAlpha) {
            EXPECT_LT(meanDifference(*source, *back.bitmap), 3.0) << name;
        }
    }
    auto clear = Bitmap::create({16, 16, 8, 4, true, false, ColorSpace::CalibratedRGB});
    std::memset(clear->bitmapData(), 0, clear->totalBytes());  // transparent black
    auto back = roundTrip(*clear, FileType::JPEG);
    ASSERT_TRUE(back);
    EXPECT_GT(back.bitmap->colorAt(8, 8).red, 0.98);
}

TEST(ImageEncoder, JpegQualityAndChromaSampling)
{
    auto quality = [](std::optional<float> factor) {
        EncodeProperties p;
        p.compressionFactor = factor;
        return JpegCodec::qualityFor(p);
    };
    EXPECT_EQ(quality(std::nullopt), 90);
    EXPECT_EQ(quality(0.98f), 98);
    EXPECT_EQ(quality(0.0f), 1);
    EXPECT_EQ(quality(2.0f), 100);
    EXPECT_EQ(quality(-1.0f), 1);

    // Luma sampling factors in the frame header: 0x11 is 4:4:4, 0x22 is 4:2:0.
    auto lumaSampling = [](const std::vector<std::uint8_t>& jpeg) {
        for (std::size_t i = 0; i + 11 < jpeg.size(); ++i)
            if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0)
                return int(jpeg[i + 11]);
        return -1;
    };
    auto source = patternBitmap({64, 64, 8, 3, false, false, ColorSpace::CalibratedRGB});
    EncodeProperties high, low;
    high.compressionFactor = 0.98f;
    low.compressionFactor = 0.5f;
    auto fine = representationUsingType(*source, FileType::JPEG, high);
    auto coarse = representationUsingType(*source, FileType::JPEG, low);
    EXPECT_EQ(lumaSampling(fine.data), 0x11);
    EXPECT_EQ(lumaSampling(coarse.data), 0x22);
    EXPECT_LT(coarse.data.size(), fine.data.size());
}

TEST(ImageEncoder, GifKeepsFewColoursExactlyAndReducesMany)
{
    // Eight colours and a transparent hole survive exactly.
    auto few = Bitmap::create({20, 10, 8, 4, true, false, ColorSpace::CalibratedRGB});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            few->setColor(Color::rgb((x % 2), (y % 2), (x / 10), x == 3 && y == 3 ? 0.0 : 1.0), x, y);
    auto back = roundTrip(*few, FileType::GIF);
    ASSERT_TRUE(back) << back.error;
    expectSamePixels(*few, *back.bitmap, "eight colours");

    // Many colours go through the quantiser: close, and white stays near white.
    for (const auto& [name, layout] : layouts()) {
        auto many = patternBitmap(layout, true);
        many->setColor(Color::rgb(1, 1, 1), 0, 0);
        many->setColor(Color::rgb(1, 0, 0), 1, 0);
        auto decoded = roundTrip(*many, FileType::GIF);
        ASSERT_TRUE(decoded) << name << ": " << decoded.error;
        const Bitmap& b = *decoded.bitmap;
        std::set<std::uint32_t> colours;
        for (int y = 0; y < b.pixelsHigh(); ++y)
            for (int x = 0; x < b.pixelsWide(); ++x) {
                const std::uint8_t* p = b.bitmapData() + std::size_t(y) * b.bytesPerRow() + std::size_t(x) * 4;
                colours.insert(std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
                const double alpha = many->colorAt(x, y).alpha;
                EXPECT_EQ(b.colorAt(x, y).alpha, alpha < 0.5 ? 0.0 : 1.0) << name;
            }
        EXPECT_LE(colours.size(), 256u) << name;
        EXPECT_LT(meanDifference(*many, b), 12.0) << name;
        if (!layout.hasAlpha && !isGreyColorSpace(layout.colorSpace)) {
            EXPECT_GT(b.colorAt(0, 0).white(), 0.9) << name;
            EXPECT_GT(b.colorAt(1, 0).red, 0.9) << name;
        }
        if (layout.bitsPerSample == 8 && layout.samplesPerPixel == 1) {
            EXPECT_EQ(meanDifference(*many, b), 0.0) << "256 greys need no quantising";
        }
    }
}

TEST(ImageEncoder, RefusesWhatTheFormatCannotHold)
{
    auto wide = Bitmap::create({65536, 1, 8, 1, false, false, ColorSpace::CalibratedWhite});
    ASSERT_TRUE(wide);
    std::memset(wide->bitmapData(), 0, wide->totalBytes());
    auto gif = representationUsingType(*wide, FileType::GIF, {});
    EXPECT_FALSE(gif);
    EXPECT_TRUE(gif.data.empty());
    EXPECT_NE(gif.error.find("65535"), std::string::npos);
    auto jpeg = representationUsingType(*wide, FileType::JPEG, {});
    EXPECT_FALSE(jpeg);
    EXPECT_TRUE(representationUsingType(*wide, FileType::PNG, {}));
}
