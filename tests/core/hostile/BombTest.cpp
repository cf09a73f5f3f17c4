// Small files that declare pictures beyond the limits, and legal pictures that
// do not fit in the memory left: each is refused with its reason, never by a
// crash, and a refusal from the header comes before any pixel buffer.
#include "core/bitmap/ImageDecoder.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/StereoFile.h"

#include "../JpegTestSegments.h"
#include "HostileFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace korvex;
using namespace korvex::testing;

namespace {

struct Bomb {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::string size;  // as the refusal names it
};

std::vector<Bomb> bombs()
{
    return {
        {"PNG", pngDeclaring(100000, 100000), "100000 x 100000"},
        {"PNG, each side legal", pngDeclaring(65535, 65535), "65535 x 65535"},
        {"PNG, one wide row", pngDeclaring(0x7FFFFFFF, 1), "2147483647 x 1"},
        // Beyond 65500 libjpeg refuses by itself, with its own words.
        {"JPEG", jpegDeclaring(65500, 65500), "65500 x 65500"},
        {"JPEG, just over the pixel count", jpegDeclaring(65500, 4200), "65500 x 4200"},
        {"TIFF", tiffDeclaring(100000, 100000), "100000 x 100000"},
        {"TIFF, one tall column", tiffDeclaring(1, 1000000), "1 x 1000000"},
        {"GIF", gifDeclaring(65535, 65535), "65535 x 65535"},
    };
}

constexpr std::size_t smallHeadroom = 64u << 20;

}  // namespace

TEST(Bombs, HugeDeclaredPicturesAreRefusedFromTheHeader)
{
    for (const Bomb& bomb : bombs()) {
        SCOPED_TRACE(bomb.name);
        EXPECT_LT(bomb.bytes.size(), 2048u);
        const std::string refusal = "refused: picture too large: " + bomb.size + " pixels";
        EXPECT_EQ(outcome(decodeImage(bomb.bytes)), refusal);
        // The stereo split refuses the same frame for both eyes.
        EXPECT_EQ(outcome(loadStereoShare(bomb.bytes, StereoLayout::SideBySide, LeftRole)), refusal);
        EXPECT_EQ(outcome(loadStereoShare(bomb.bytes, StereoLayout::RowInterleaved, RightRole)), refusal);
        // With too little address space for any picture buffer the reason is
        // still the size: nothing big was asked for before the refusal.
        if (addressLimitsWork()) {
            EXPECT_EQ(inChildWithHeadroom(smallHeadroom, [&] { return outcome(decodeImage(bomb.bytes)); }), refusal);
        }
    }
}

TEST(Bombs, TinyFilesDeclaringLegalButHugePicturesAreRefusedFromTheirSize)
{
    // Within the limits, but no such file could fill the 768 MB it asks for.
    const std::vector<Bomb> tiny = {
        {"PNG", pngDeclaring(16000, 16000), "16000 x 16000"},
        {"JPEG", jpegDeclaring(16000, 16000), "16000 x 16000"},
        {"TIFF", tiffDeclaring(16000, 16000), "16000 x 16000"},
        {"GIF", gifDeclaring(16000, 16000), "16000 x 16000"},
    };
    for (const Bomb& bomb : tiny) {
        SCOPED_TRACE(bomb.name);
        const std::string refusal = outcome(decodeImage(bomb.bytes));
        EXPECT_EQ(refusal.rfind("refused: file too short for a " + bomb.size + " picture", 0), 0u) << refusal;
        if (addressLimitsWork()) {
            EXPECT_EQ(inChildWithHeadroom(smallHeadroom, [&] { return outcome(decodeImage(bomb.bytes)); }), refusal);
        }
    }
}

TEST(Bombs, MultiPictureFileWithAHugeSecondPictureRefusesOnlyThatEye)
{
    const std::vector<std::uint8_t> mpo =
        multiPictureFile(encodedPicture(FileType::JPEG, 8, 8), jpegDeclaring(65500, 65500), 0x020002, 0x020002);
    EXPECT_EQ(outcome(loadStereoShare(mpo, StereoLayout::MultiPicture, LeftRole)), "8 x 8");
    EXPECT_EQ(outcome(loadStereoShare(mpo, StereoLayout::MultiPicture, RightRole)),
              "refused: picture too large: 65500 x 65500 pixels");
}

TEST(OutOfMemory, EveryDecoderSaysMemoryIsShortAndNamesTheSize)
{
    if (!addressLimitsWork())
        GTEST_SKIP() << "address-space limits do not work under the sanitizers";
    // Legal sizes whose pixel buffers (70 MB and more) exceed what the child may map.
    const std::vector<Bomb> pictures = {
        {"PNG", pngDeclaring(6000, 4000), "6000 x 4000"},
        {"JPEG", jpegDeclaring(6000, 4000), "6000 x 4000"},
        {"TIFF", tiffDeclaring(6000, 4000), "6000 x 4000"},
        {"GIF", gifDeclaring(6000, 4000), "6000 x 4000"},
    };
    for (Bomb picture : pictures) {
        SCOPED_TRACE(picture.name);
        // Long enough that the file could hold such a picture: only memory is short.
        picture.bytes.resize(256 * 1024);
        const std::string expected = "refused: not enough memory for a " + picture.size + " picture";
        EXPECT_EQ(inChildWithHeadroom(smallHeadroom, [&] { return outcome(decodeImage(picture.bytes)); }), expected);
        EXPECT_EQ(inChildWithHeadroom(smallHeadroom,
                                      [&] { return outcome(loadStereoShare(picture.bytes, StereoLayout::SideBySide, RightRole)); }),
                  expected);
    }
}

TEST(OutOfMemory, StereoShareThatDoesNotFitLeavesTheViewEmptyWithTheReason)
{
    if (!addressLimitsWork())
        GTEST_SKIP() << "address-space limits do not work under the sanitizers";
    // A flat grey frame: 48 MB decoded, each RGBA share twice that.
    const int w = 8000, h = 6000;
    Bitmap::Layout grey;
    grey.pixelsWide = w;
    grey.pixelsHigh = h;
    grey.samplesPerPixel = 1;
    grey.colorSpace = ColorSpace::CalibratedWhite;
    auto frame = Bitmap::create(grey);
    ASSERT_TRUE(frame);
    std::fill_n(frame->bitmapData(), frame->totalBytes(), std::uint8_t(128));
    const EncodeResult png = representationUsingType(*frame, FileType::PNG, {});
    ASSERT_TRUE(png) << png.error;
    frame.reset();

    const std::filesystem::path path = std::filesystem::temp_directory_path() / "korvex-hostile-large-frame.jps";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data.data()), std::streamsize(png.data.size()));
    auto load = [&] {
        PictureStore view;
        view.setType(LeftRole);
        const bool loaded = view.setImageWithFile(path.string());
        if (loaded != (view.image() != nullptr))
            return std::string("inconsistent");
        return loaded ? std::to_string(view.image()->pixelsWide()) + " x " + std::to_string(view.image()->pixelsHigh())
                      : "refused: " + view.lastError() + " pin " + std::to_string(view.pinPoint().x);
    };
    EXPECT_EQ(inChildWithHeadroom(std::size_t(w) * h + (24u << 20), load),
              "refused: not enough memory for a 4000 x 6000 picture pin 0.000000");
    EXPECT_EQ(inChildWithHeadroom(std::size_t(w) * h * 4, load), "4000 x 6000");
    std::filesystem::remove(path);
}

TEST(Bombs, SmallPngDeclaringABigLegalPictureIsRefusedBeforeItsBuffer)
{
    // Two real rows of a 16383-pixel-wide picture, declared 16383 rows high:
    // a few hundred bytes that would otherwise buy 805 MB of black.
    std::vector<std::uint8_t> png = encodedPicture(FileType::PNG, 16383, 2);
    putBig32(png, 20, 16383);
    putBig32(png, 29, crc32(png.data() + 12, 17));
    ASSERT_LT(png.size(), 4096u);
    const DecodeResult r = decodeImage(png);
    EXPECT_FALSE(r.bitmap);
    EXPECT_NE(r.error.find("file too short for a 16383 x 16383 picture"), std::string::npos) << r.error;
    if (addressLimitsWork()) {
        EXPECT_EQ(inChildWithHeadroom(smallHeadroom, [&] { return outcome(decodeImage(png)); }), outcome(r));
    }

    // The same rows declared 600 rows high: small enough to load, cut short.
    putBig32(png, 20, 600);
    putBig32(png, 29, crc32(png.data() + 12, 17));
    const DecodeResult cut = decodeImage(png);
    ASSERT_TRUE(cut.bitmap) << cut.error;
    EXPECT_NE(cut.warning.find("truncated"), std::string::npos);
}

TEST(Bombs, SmallGifDeclaringABigLegalCanvasIsRefusedBeforeItsBuffer)
{
    // A one-pixel frame on a 16383 x 16383 screen: 1 GB of transparency.
    const DecodeResult screen = decodeImage(gifDeclaringScreen(16383, 16383));
    EXPECT_FALSE(screen.bitmap);
    EXPECT_NE(screen.error.find("file too short for a 16383 x 16383 picture"), std::string::npos) << screen.error;
    // A big canvas a real frame could fill still loads.
    const DecodeResult modest = decodeImage(gifDeclaringScreen(1000, 1000));
    ASSERT_TRUE(modest.bitmap) << modest.error;
    EXPECT_EQ(modest.bitmap->pixelsWide(), 1000);
}
