// Chunks, tags, segments and blocks whose length fields claim far more than
// the file holds: each costs no more than the bytes that are there, and a
// picture around a big but honest block still loads whole.
#include "core/bitmap/ExifOrientation.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/imageview/JpsDescriptor.h"

#include "../JpegTestSegments.h"
#include "HostileFiles.h"

#include <gtest/gtest.h>

using namespace korvex;
using namespace korvex::testing;

namespace {

constexpr std::size_t smallHeadroom = 64u << 20;

// Text, palette suggestions, calibration, scale, profile, EXIF, an unknown
// safe-to-copy chunk, and one that libpng keeps in its chunk cache.
const char* const ancillaryPngChunks[] = {"tEXt", "zTXt", "iTXt", "sPLT", "pCAL", "sCAL", "iCCP", "eXIf", "vpAg", "tIME"};

std::string pixelsOf(const DecodeResult& r)
{
    if (!r.bitmap)
        return "refused: " + r.error;
    std::string s = outcome(r) + ":";
    for (int y = 0; y < r.bitmap->pixelsHigh(); ++y)
        for (int x = 0; x < r.bitmap->pixelsWide(); ++x)
            s += " " + std::to_string(int(r.bitmap->colorAt(x, y).red * 255 + 0.5));
    return s;
}

}  // namespace

TEST(ClaimedLengths, PngChunkClaimingGigabytesIsRefusedFromTheBytesThatAreThere)
{
    for (const char* type : ancillaryPngChunks) {
        SCOPED_TRACE(type);
        const std::vector<std::uint8_t> png = pngClaimingGigabytes(type);
        ASSERT_LT(png.size(), 200u);
        EXPECT_EQ(outcome(decodeImage(png)), "refused: damaged PNG file: file ends early");
        // Nothing near the claimed length is asked for.
        if (addressLimitsWork()) {
            EXPECT_EQ(inChildWithHeadroom(smallHeadroom, [&] { return outcome(decodeImage(png)); }),
                      "refused: damaged PNG file: file ends early");
        }
    }
}

TEST(ClaimedLengths, PngChunkClaimingGigabytesAfterThePixelsKeepsThePicture)
{
    const std::vector<std::uint8_t> honest = encodedPicture(FileType::PNG, 4, 4);
    for (const char* type : ancillaryPngChunks) {
        SCOPED_TRACE(type);
        const DecodeResult r = decodeImage(pngWithChunk(pngChunk(type, 0x7FFFFFF0u, {1, 2, 3}), true));
        EXPECT_EQ(pixelsOf(r), pixelsOf(decodeImage(honest)));
        EXPECT_EQ(r.warning, "file is damaged after the picture data (file ends early)");
    }
}

TEST(ClaimedLengths, PngWithABigHonestChunkLoadsItsPixels)
{
    // Larger than any single allocation libpng may make: the chunk is
    // skipped, not read into memory, and the chunks after it are found.
    const std::vector<std::uint8_t> honest = encodedPicture(FileType::PNG, 4, 4);
    std::vector<std::uint8_t> text = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0};
    text.resize(12u << 20, 'x');
    for (const char* type : {"tEXt", "iCCP", "vpAg"}) {
        SCOPED_TRACE(type);
        const std::vector<std::uint8_t> png = pngWithChunk(pngChunk(type, std::uint32_t(text.size()), text));
        const DecodeResult r = decodeImage(png);
        EXPECT_EQ(pixelsOf(r), pixelsOf(decodeImage(honest)));
        EXPECT_EQ(r.warning, "");
        if (addressLimitsWork()) {
            // The file itself is 12 MB; the child has a copy of it already.
            EXPECT_EQ(inChildWithHeadroom(smallHeadroom, [&] { return pixelsOf(decodeImage(png)); }), pixelsOf(r));
        }
    }
}

TEST(ClaimedLengths, BlocksFarLargerThanTheirPictureAreRefusedBeforeTheirBuffer)
{
    // The first scans of a small progressive photo.
    std::vector<std::uint8_t> progressive = readBytes(corpusPath("mixed/video-001.progressive.jpeg"));
    progressive.resize(4096);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::string outcome;
    };
    const std::vector<Case> cases = {
        // 256 MB of padding for 16 pixels.
        {"TIFF tile", tiledTiff(4, 4, 16384, 16384),
         "refused: unsupported TIFF file: its 16384 x 16384 tiles are far larger than the 4 x 4 picture"},
        {"TIFF tile of the picture's size", tiledTiff(16, 16, 16, 16), "16 x 16"},
        {"TIFF tile a little larger than the picture", tiledTiff(10, 10, 256, 256), "10 x 10"},
        // 63 MB of pixels, within what any file may declare, but twice that
        // again for the coefficients of a progressive file.
        {"progressive JPEG", jpegRedeclared(progressive, 4600, 4600),
         "refused: file too short for a 4600 x 4600 picture: " + std::to_string(progressive.size())
             + " bytes cannot hold its pixel data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(outcome(decodeImage(c.bytes)), c.outcome);
        if (addressLimitsWork()) {
            EXPECT_EQ(inChildWithHeadroom(smallHeadroom, [&] { return outcome(decodeImage(c.bytes)); }), c.outcome);
        }
    }
}

TEST(ClaimedLengths, JpegHeaderSegmentsClaimingMoreThanTheFileAreReadAsAbsent)
{
    // The EXIF, JPS and MP index readers look into the file's own bytes;
    // a length or count past them makes the block absent, never a read
    // beyond the file, and the picture itself still loads.
    const std::vector<std::uint8_t> jpeg = solidJpeg(16, 16, 0.5, 0.5, 0.5);
    auto claiming = [](std::vector<std::uint8_t> segment, std::size_t at, std::uint16_t value) {
        putBig16(segment, at, value);
        return segment;
    };
    const std::vector<std::uint8_t> turned = exifOrientationSegment(6);
    ASSERT_EQ(exifOrientation(withSegment(jpeg, turned)), 6);
    // Segment length at 2; the directory's entry count after "Exif\0\0" and the 8-byte header.
    EXPECT_EQ(exifOrientation(withSegment(jpeg, claiming(turned, 2, 0xFFFF))), 1);
    EXPECT_EQ(exifOrientation(withSegment(jpeg, claiming(turned, 4 + 6 + 8, 0xFFFF))), 1);

    const std::vector<std::uint8_t> marked = jpsSegment(0x04, 0x03);
    ASSERT_TRUE(readJpsDescriptor(withSegment(jpeg, marked)));
    EXPECT_FALSE(readJpsDescriptor(withSegment(jpeg, claiming(marked, 2, 0xFFFF))));

    for (const auto& segment : {claiming(turned, 2, 0xFFFF), claiming(marked, 2, 0xFFFF)}) {
        const DecodeResult r = decodeImage(withSegment(jpeg, segment));
        EXPECT_FALSE(r.bitmap) << "a segment running past the end leaves no picture data: " << outcome(r);
        EXPECT_FALSE(r.error.empty());
    }
}
