#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace korvex;
using namespace korvex::testing;

namespace {

DecodeResult decodeCorpus(const std::string& relative)
{
    return decodeImageFile(corpusPath(relative));
}

struct Shape {
    int samples;
    int bits;
    bool alpha;
    bool grey;
};

void expectShape(const DecodeResult& r, Shape shape, const std::string& name)
{
    ASSERT_TRUE(r.bitmap) << name << ": " << r.error;
    EXPECT_EQ(r.bitmap->samplesPerPixel(), shape.samples) << name;
    EXPECT_EQ(r.bitmap->bitsPerSample(), shape.bits) << name;
    EXPECT_EQ(r.bitmap->hasAlpha(), shape.alpha) << name;
    EXPECT_EQ(isGreyColorSpace(r.bitmap->colorSpace()), shape.grey) << name;
    EXPECT_TRUE(r.warning.empty()) << name << ": " << r.warning;
}

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

// A PNG signature and IHDR only: the header of a picture of any size.
std::vector<std::uint8_t> pngHeader(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    putBig32(png, 13);
    const std::size_t type = png.size();
    png.insert(png.end(), {'I', 'H', 'D', 'R'});
    putBig32(png, width);
    putBig32(png, height);
    png.insert(png.end(), {8, 2, 0, 0, 0});
    putBig32(png, crc32(png.data() + type, png.size() - type));
    return png;
}

// Little-endian TIFF directory entry `tag` rewritten to one LONG value.
void setTiffLong(std::vector<std::uint8_t>& tiff, std::uint16_t tag, std::uint32_t value)
{
    auto read16 = [&](std::size_t at) { return std::uint32_t(tiff[at] | tiff[at + 1] << 8); };
    auto read32 = [&](std::size_t at) { return read16(at) | read16(at + 2) << 16; };
    const std::size_t ifd = read32(4);
    for (std::uint32_t i = 0; i < read16(ifd); ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        if (read16(entry) != tag)
            continue;
        const std::uint8_t bytes[10] = {4, 0, 1, 0, 0, 0, std::uint8_t(value), std::uint8_t(value >> 8),
                                        std::uint8_t(value >> 16), std::uint8_t(value >> 24)};
        std::copy(bytes, bytes + 10, tiff.begin() + std::ptrdiff_t(entry + 2));
        return;
    }
    ADD_FAILURE() << "no tag " << tag;
}

}  // namespace

TEST(ImageDecoder, PngKeepsItsLayout)
{
    expectShape(decodeCorpus("png/basn0g08.png"), {1, 8, false, true}, "grey 8");
    expectShape(decodeCorpus("png/basn0g16.png"), {1, 16, false, true}, "grey 16");
    expectShape(decodeCorpus("png/basn0g01.png"), {1, 8, false, true}, "grey 1 widened");
    expectShape(decodeCorpus("png/basn4a08.png"), {2, 8, true, true}, "grey + alpha");
    expectShape(decodeCorpus("png/basn2c16.png"), {3, 16, false, false}, "RGB 16");
    expectShape(decodeCorpus("png/basn3p08.png"), {3, 8, false, false}, "palette");
    expectShape(decodeCorpus("png/basn3p08-trns.png"), {4, 8, true, false}, "palette with tRNS");
    expectShape(decodeCorpus("png/basn6a16.png"), {4, 16, true, false}, "RGBA 16");

    auto rgb = decodeCorpus("png/basn2c08.png");
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb.bitmap->bitsPerPixel(), 24);
    EXPECT_EQ(rgb.bitmap->size(), (Size{32, 32}));
}

TEST(ImageDecoder, PngPixelsMatchTheirSource)
{
    auto grey16 = decodeCorpus("png/basn0g16.png");
    ASSERT_TRUE(grey16);
    EXPECT_DOUBLE_EQ(grey16.bitmap->colorAt(31, 31).white(), 0x00ff / 65535.0);  // native order after swapping
    auto rgb16 = decodeCorpus("png/basn2c16.png");
    ASSERT_TRUE(rgb16);
    const Color yellow = rgb16.bitmap->colorAt(0, 0);
    EXPECT_EQ(yellow.red, 1.0);
    EXPECT_EQ(yellow.blue, 0.0);
    auto bilevel = decodeCorpus("png/basn0g01.png");
    ASSERT_TRUE(bilevel);
    EXPECT_EQ(bilevel.bitmap->bitmapData()[0], 255);
    EXPECT_EQ(bilevel.bitmap->colorAt(31, 31).white(), 0.0);
    auto trns = decodeCorpus("png/basn3p08-trns.png");
    ASSERT_TRUE(trns);
    const std::uint8_t* p = trns.bitmap->bitmapData();
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{2, 22, 19, 4}));
    auto greyAlpha = decodeCorpus("png/basn4a08.png");
    ASSERT_TRUE(greyAlpha);
    EXPECT_EQ(greyAlpha.bitmap->colorAt(0, 0).alpha, 0.0);
    EXPECT_EQ(greyAlpha.bitmap->colorAt(31, 31).alpha, 1.0);

    // Interlaced: every pass lands on its own pixels.
    auto interlaced = decodeCorpus("png/basn3p04-31i.png");
    ASSERT_TRUE(interlaced);
    EXPECT_TRUE(interlaced.warning.empty());
    EXPECT_EQ(interlaced.bitmap->pixelsWide(), 31);
    auto rgb8 = [&](int x, int y) {
        const std::uint8_t* q = interlaced.bitmap->bitmapData() + std::size_t(y) * interlaced.bitmap->bytesPerRow() + x * 3;
        return std::vector<int>{q[0], q[1], q[2]};
    };
    EXPECT_EQ(rgb8(0, 0), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(rgb8(5, 17), (std::vector<int>{34, 255, 0}));
    EXPECT_EQ(rgb8(30, 30), (std::vector<int>{255, 0, 187}));
}

TEST(ImageDecoder, OnePictureInFourFormatsAgrees)
{
    auto png = decodeCorpus("mixed/video-001.png");
    ASSERT_TRUE(png);
    EXPECT_EQ(png.bitmap->pixelsWide(), 150);
    EXPECT_EQ(png.bitmap->pixelsHigh(), 103);
    for (const char* other : {"mixed/video-001.jpeg", "mixed/video-001.progressive.jpeg", "mixed/video-001.q50.444.jpeg",
                              "mixed/video-001.q50.410.jpeg", "mixed/video-001.gif", "mixed/video-001.interlaced.gif",
                              "tiff/video-001.tiff", "tiff/video-001-tile-64x64.tiff",
                              "tiff/video-001-uncompressed.tiff", "tiff/video-001-paletted.tiff",
                              "tiff/video-001-16bit.tiff"}) {
        auto r = decodeCorpus(other);
        ASSERT_TRUE(r) << other << ": " << r.error;
        EXPECT_TRUE(r.warning.empty()) << other << ": " << r.warning;
        ASSERT_EQ(r.bitmap->pixelsWide(), 150) << other;
        ASSERT_EQ(r.bitmap->pixelsHigh(), 103) << other;
        EXPECT_LT(meanDifference(*png.bitmap, *r.bitmap), 8.0) << other;
    }
    // Lossless TIFFs hold exactly the PNG's pixels, strips or tiles alike.
    for (const char* exact : {"tiff/video-001.tiff", "tiff/video-001-tile-64x64.tiff", "tiff/video-001-strip-64.tiff"}) {
        auto r = decodeCorpus(exact);
        ASSERT_TRUE(r);
        EXPECT_LT(meanDifference(*png.bitmap, *r.bitmap), 1e-9) << exact;
    }
}

TEST(ImageDecoder, JpegGifAndTiffLayouts)
{
    expectShape(decodeCorpus("mixed/video-001.jpeg"), {3, 8, false, false}, "JPEG");
    expectShape(decodeCorpus("mixed/video-005.gray.jpeg"), {1, 8, false, true}, "grey JPEG");
    expectShape(decodeCorpus("mixed/video-001.cmyk.jpeg"), {3, 8, false, false}, "CMYK JPEG");
    expectShape(decodeCorpus("mixed/video-001.gif"), {4, 8, true, false}, "GIF");
    expectShape(decodeCorpus("tiff/video-001-gray.tiff"), {1, 8, false, true}, "grey TIFF");
    expectShape(decodeCorpus("tiff/video-001-gray-16bit.tiff"), {1, 16, false, true}, "grey 16 TIFF");
    expectShape(decodeCorpus("tiff/video-001-16bit.tiff"), {3, 16, false, false}, "RGB 16 TIFF");
    expectShape(decodeCorpus("tiff/no_compress.tiff"), {4, 8, true, false}, "RGBA TIFF");
    expectShape(decodeCorpus("tiff/bw-uncompressed.tiff"), {1, 8, false, true}, "bilevel TIFF");

    auto paletted = decodeCorpus("tiff/video-001-paletted.tiff");
    expectShape(paletted, {3, 8, false, false}, "palette TIFF");
    EXPECT_EQ(paletted.bitmap->bitsPerPixel(), 32);

    // Bilevel, white stored as zero: every compression gives the same 0/255 grey.
    auto plain = decodeCorpus("tiff/bw-uncompressed.tiff");
    ASSERT_TRUE(plain);
    int black = 0;
    for (int y = 0; y < plain.bitmap->pixelsHigh(); ++y)
        for (int x = 0; x < plain.bitmap->pixelsWide(); ++x) {
            const std::uint8_t v = plain.bitmap->bitmapData()[std::size_t(y) * plain.bitmap->bytesPerRow() + x];
            ASSERT_TRUE(v == 0 || v == 255);
            black += v == 0;
        }
    EXPECT_GT(black, 0);
    EXPECT_LT(black, plain.bitmap->pixelsWide() * plain.bitmap->pixelsHigh() / 2);  // a drawing on white
    for (const char* other : {"tiff/bw-deflate.tiff", "tiff/bw-packbits.tiff", "tiff/bw-gopher_ccittGroup3.tiff",
                              "tiff/bw-gopher_ccittGroup4.tiff"}) {
        auto r = decodeCorpus(other);
        ASSERT_TRUE(r) << other << ": " << r.error;
        EXPECT_LT(meanDifference(*plain.bitmap, *r.bitmap), 1e-9) << other;
    }
}

TEST(ImageDecoder, GifTransparencyAndScreen)
{
    auto gif = decodeCorpus("mixed/triangle-001.gif");
    ASSERT_TRUE(gif) << gif.error;
    int transparent = 0;
    int opaque = 0;
    for (int y = 0; y < gif.bitmap->pixelsHigh(); ++y)
        for (int x = 0; x < gif.bitmap->pixelsWide(); ++x)
            (gif.bitmap->colorAt(x, y).alpha == 0.0 ? transparent : opaque)++;
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);

    // A 4 x 3 screen with a 2 x 1 frame at (1, 1): outside the frame is transparent.
    const std::vector<std::uint8_t> small = {
        'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0x80, 0, 0,  // screen, 2-colour table
        255, 0, 0, 0, 0, 255,                                  // red, blue
        0x2c, 1, 0, 1, 0, 2, 0, 1, 0, 0,                       // frame
        2, 2, 0x44, 0x0a, 0, 0x3b};                            // LZW: clear, 0, 1, end
    auto r = decodeImage(small);
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.bitmap->pixelsWide(), 4);
    EXPECT_EQ(r.bitmap->pixelsHigh(), 3);
    EXPECT_EQ(r.bitmap->colorAt(0, 0).alpha, 0.0);
    EXPECT_EQ(r.bitmap->colorAt(3, 2).alpha, 0.0);
    EXPECT_EQ(r.bitmap->colorAt(1, 1).alpha, 1.0);
}

TEST(ImageDecoder, CmykJpegIsConvertedFromInvertedAdobeSamples)
{
    // The PNG beside it holds the same picture converted by
    // R = (255 - C)(255 - K) / 255 from the plain ink amounts.
    auto cmyk = decodeCorpus("mixed/video-001.cmyk.jpeg");
    auto reference = decodeCorpus("mixed/video-001.cmyk.png");
    ASSERT_TRUE(cmyk);
    ASSERT_TRUE(reference);
    EXPECT_LT(meanDifference(*cmyk.bitmap, *reference.bitmap), 1.0);
}

TEST(ImageDecoder, ByContentNotByName)
{
    const auto png = readBytes(corpusPath("png/basn2c08.png"));
    const std::string path = ::testing::TempDir() + "korvex-really-png.jpg";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
    auto r = decodeImageFile(path);
    std::filesystem::remove(path);
    EXPECT_TRUE(r) << r.error;

    auto missing = decodeImageFile("/nonexistent/korvex.png");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error.find("/nonexistent/korvex.png"), std::string::npos);
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(decodeImage(text).error, "not a PNG, JPEG, TIFF or GIF picture");
    EXPECT_EQ(decodeImage({}).error, "file is empty");
}

TEST(ImageDecoder, HugeHeadersAreRefusedBeforeAllocating)
{
    EXPECT_EQ(ImageLimits::check(100000, 100000), "picture too large: 100000 x 100000 pixels");
    EXPECT_EQ(ImageLimits::check(65535, 4000), "");
    EXPECT_NE(ImageLimits::check(65536, 1), "");
    EXPECT_NE(ImageLimits::check(16384, 16384), "");  // each side allowed, the product not
    EXPECT_EQ(ImageLimits::check(16383, 16383), "");

    auto png = decodeImage(pngHeader(100000, 100000));
    EXPECT_FALSE(png);
    EXPECT_EQ(png.error, "picture too large: 100000 x 100000 pixels");
    // Past libpng's own default limit of a million: still our reason.
    EXPECT_EQ(decodeImage(pngHeader(2000000, 1)).error, "picture too large: 2000000 x 1 pixels");
    // Within the limits the same header fails for want of data, not size.
    auto small = decodeImage(pngHeader(640, 480));
    EXPECT_FALSE(small);
    EXPECT_EQ(small.error.find("too large"), std::string::npos);

    auto jpeg = readBytes(corpusPath("mixed/video-001.jpeg"));
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {  // SOF0: height, width at +5, +7
            jpeg[i + 5] = jpeg[i + 7] = 0xfd;  // 65000 x 65000
            jpeg[i + 6] = jpeg[i + 8] = 0xe8;
            break;
        }
    EXPECT_EQ(decodeImage(jpeg).error, "picture too large: 65000 x 65000 pixels");

    auto bitmap = patternBitmap({8, 300, 8, 1, false, false, ColorSpace::CalibratedWhite});
    auto tiff = representationUsingType(*bitmap, FileType::TIFF, {});
    ASSERT_TRUE(tiff);
    setTiffLong(tiff.data, 256, 100000);
    setTiffLong(tiff.data, 257, 100000);
    setTiffLong(tiff.data, 278, 0xffffffffu);
    EXPECT_EQ(decodeImage(tiff.data).error, "picture too large: 100000 x 100000 pixels");

    const std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0xff, 0xff, 0xff, 0xff, 0x80, 0, 0,
                                           0, 0, 0, 255, 255, 255, 0x2c, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0};
    EXPECT_EQ(decodeImage(gif).error, "picture too large: 65535 x 65535 pixels");
}

TEST(ImageDecoder, TruncatedFilesLoadWithWarningOrAreRefused)
{
    // PNG: rows that arrived are kept, the rest is zero.
    auto source = patternBitmap({64, 64, 8, 3, false, false, ColorSpace::CalibratedRGB});
    auto png = representationUsingType(*source, FileType::PNG, {});
    ASSERT_TRUE(png);
    std::vector<std::uint8_t> cut(png.data.begin(), png.data.begin() + std::ptrdiff_t(png.data.size() * 6 / 10));
    auto r = decodeImage(cut);
    ASSERT_TRUE(r) << r.error;
    EXPECT_NE(r.warning.find("truncated"), std::string::npos);
    EXPECT_NE(r.warning.find("black"), std::string::npos);
    EXPECT_TRUE(sameColour(r.bitmap->colorAt(5, 0), source->colorAt(5, 0)));
    EXPECT_TRUE(sameColour(r.bitmap->colorAt(63, 63), (Color{ColorSpace::CalibratedRGB, 0, 0, 0, 1})));
    cut.resize(40);  // the header and nothing else
    EXPECT_FALSE(decodeImage(cut));

    // Sequential JPEG: missing blocks are mid grey.
    auto jpeg = readBytes(corpusPath("mixed/video-001.jpeg"));
    jpeg.resize(jpeg.size() / 2);
    r = decodeImage(jpeg);
    ASSERT_TRUE(r) << r.error;
    EXPECT_NE(r.warning.find("grey"), std::string::npos);
    EXPECT_NEAR(r.bitmap->colorAt(149, 102).green, 128 / 255.0, 2 / 255.0);
    // Progressive JPEG: the earlier scans make a coarser picture.
    jpeg = readBytes(corpusPath("mixed/video-001.progressive.jpeg"));
    jpeg.resize(jpeg.size() * 6 / 10);
    r = decodeImage(jpeg);
    ASSERT_TRUE(r) << r.error;
    EXPECT_NE(r.warning.find("coarser"), std::string::npos);
    auto full = decodeCorpus("mixed/video-001.progressive.jpeg");
    ASSERT_TRUE(full);
    EXPECT_LT(meanDifference(*full.bitmap, *r.bitmap), 8.0);
    // Cut inside the first block row: refused.
    jpeg = readBytes(corpusPath("mixed/video-001.jpeg"));
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xda) {
            jpeg.resize(i + 20);
            break;
        }
    r = decodeImage(jpeg);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("truncated"), std::string::npos);

    // TIFF: a strip pointing past the end of the file ends the rows there.
    auto grey = patternBitmap({64, 300, 8, 1, false, false, ColorSpace::CalibratedWhite});
    auto tiff = representationUsingType(*grey, FileType::TIFF, {});
    ASSERT_TRUE(tiff);
    auto& t = tiff.data;
    const std::size_t ifd = t[4] | t[5] << 8 | t[6] << 16 | std::size_t(t[7]) << 24;
    for (std::size_t e = ifd + 2; e < ifd + 2 + 12u * t[ifd]; e += 12) {
        if ((t[e] | t[e + 1] << 8) != 273)
            continue;
        const std::size_t count = t[e + 4] | t[e + 5] << 8;
        ASSERT_GT(count, 1u);
        const std::size_t offsets = t[e + 8] | t[e + 9] << 8 | t[e + 10] << 16 | std::size_t(t[e + 11]) << 24;
        const std::size_t last = offsets + 4 * (count - 1);  // LONG offsets
        t[last + 3] = 0x7f;
    }
    r = decodeImage(t);
    ASSERT_TRUE(r) << r.error;
    EXPECT_FALSE(r.warning.empty());
    EXPECT_TRUE(sameColour(r.bitmap->colorAt(3, 0), grey->colorAt(3, 0)));
    EXPECT_EQ(r.bitmap->colorAt(3, 299).white(), 0.0);

    // GIF: the rows that never arrived are transparent.
    auto rgba = patternBitmap({40, 40, 8, 4, true, false, ColorSpace::CalibratedRGB}, true);
    auto gif = representationUsingType(*rgba, FileType::GIF, {});
    ASSERT_TRUE(gif);
    gif.data.resize(gif.data.size() / 2);
    r = decodeImage(gif.data);
    ASSERT_TRUE(r) << r.error;
    EXPECT_NE(r.warning.find("transparent"), std::string::npos);
    EXPECT_EQ(r.bitmap->colorAt(1, 39).alpha, 0.0);
    EXPECT_EQ(r.bitmap->colorAt(1, 0).alpha, 1.0);
}
