// Multi-picture files, marked JPS files and turned photos, made from our own
// encoder's JPEGs with the header segments that cameras write.
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/imageview/MultiPictureFile.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/StereoFile.h"

#include "../JpegTestSegments.h"
#include "../MultiPictureTestFiles.h"
#include "../TestPictures.h"

#include <gtest/gtest.h>

using namespace korvex;
using namespace korvex::testing;

namespace {

constexpr std::uint32_t disparityType = 0x020002;
constexpr std::uint32_t primaryType = 0x030000;
constexpr std::uint32_t thumbnailType = 0x010001;
constexpr std::uint32_t panoramaType = 0x020001;

// A side-by-side frame: red left half, blue right half.
std::vector<std::uint8_t> redBlueFrame(int w, int h)
{
    auto canvas = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = canvas->bitmapData() + std::size_t(y) * canvas->bytesPerRow() + std::size_t(x) * 3;
            const bool leftHalf = x < w / 2;
            p[0] = leftHalf ? 255 : 0;
            p[1] = 0;
            p[2] = leftHalf ? 0 : 255;
        }
    return representationUsingType(*canvas, FileType::JPEG, {0.95f, {}}).data;
}

bool reddish(const Bitmap& b, int x, int y)
{
    const Color c = b.colorAt(x, y);
    return c.red > 0.8 && c.blue < 0.2;
}

bool bluish(const Bitmap& b, int x, int y)
{
    const Color c = b.colorAt(x, y);
    return c.blue > 0.8 && c.red < 0.2;
}

}  // namespace

TEST(MultiPictureFile, StereoPairsGiveEachEyeItsOwnPicture)
{
    const auto left = solidJpeg(64, 48, 250 / 255.0, 10 / 255.0, 10 / 255.0);
    const auto right = solidJpeg(64, 48, 10 / 255.0, 10 / 255.0, 250 / 255.0);
    for (std::uint32_t firstType : {disparityType, primaryType}) {
        const auto file = multiPictureFile(left, right, firstType, disparityType);
        auto l = loadStereoShare(file, StereoLayout::MultiPicture, LeftRole);
        auto r = loadStereoShare(file, StereoLayout::MultiPicture, RightRole);
        ASSERT_TRUE(l && r) << l.error << r.error;
        EXPECT_EQ(l.bitmap->pixelsWide(), 64);
        EXPECT_TRUE(reddish(*l.bitmap, 10, 10));
        EXPECT_TRUE(bluish(*r.bitmap, 10, 10));
    }
}

TEST(MultiPictureFile, OtherKindsLoadTheirFirstPictureWhole)
{
    const auto first = solidJpeg(32, 32, 250 / 255.0, 10 / 255.0, 10 / 255.0);
    const auto second = solidJpeg(16, 16, 10 / 255.0, 10 / 255.0, 250 / 255.0);
    for (std::uint32_t secondType : {thumbnailType, panoramaType}) {
        const auto file = multiPictureFile(first, second, primaryType, secondType);
        auto r = loadStereoShare(file, StereoLayout::MultiPicture, RightRole);
        ASSERT_TRUE(r) << r.error;
        EXPECT_EQ(r.bitmap->pixelsWide(), 32);
        EXPECT_TRUE(reddish(*r.bitmap, 5, 5));
    }
    // A plain JPEG named .mpo is one picture.
    auto plain = loadStereoShare(first, StereoLayout::MultiPicture, RightRole);
    ASSERT_TRUE(plain);
    EXPECT_TRUE(reddish(*plain.bitmap, 5, 5));
}

TEST(MultiPictureFile, DamagedIndexesAreRefusedWithAReason)
{
    const auto a = solidJpeg(16, 16, 200 / 255.0, 0, 0);
    const auto b = solidJpeg(16, 16, 0, 0, 200 / 255.0);
    struct Case { const char* what; std::vector<std::uint8_t> file; };
    const Case cases[] = {
        {"offset past the end", multiPictureFile(a, b, disparityType, disparityType, 2, 1 << 20)},
        {"offset back into the first picture", multiPictureFile(a, b, disparityType, disparityType, 2, -std::int64_t(a.size()))},
        {"absurd count", multiPictureFile(a, b, disparityType, disparityType, 100000)},
        {"zero count", multiPictureFile(a, b, disparityType, disparityType, 0)},
    };
    for (const Case& c : cases) {
        const MultiPictureIndex index = readMultiPictureIndex(c.file);
        EXPECT_FALSE(index.error.empty()) << c.what;
        EXPECT_FALSE(index.isStereoPair) << c.what;
        auto share = loadStereoShare(c.file, StereoLayout::MultiPicture, RightRole);
        EXPECT_FALSE(share) << c.what;
        EXPECT_NE(share.error.find("multi-picture"), std::string::npos) << c.what;
    }
    // A second picture cut short by the end of the file.
    auto file = multiPictureFile(a, b, disparityType, disparityType);
    file.resize(file.size() - 10);
    EXPECT_FALSE(readMultiPictureIndex(file).error.empty());
}

TEST(MarkedJps, TheDescriptorSaysWhichHalfIsWhichEye)
{
    const auto frame = redBlueFrame(64, 32);
    const std::uint8_t leftFirst = 0x04;
    struct Case { const char* what; std::vector<std::uint8_t> file; bool leftIsRed; int leftWidth; };
    const Case cases[] = {
        {"unmarked", frame, true, 32},
        {"side by side, left first", withSegment(frame, jpsSegment(leftFirst, 0x02)), true, 32},
        {"side by side, cross-eyed", withSegment(frame, jpsSegment(0x00, 0x02)), false, 32},
        {"marked mono: whole", withSegment(frame, jpsSegment(0x00, 0x00, 0x00)), true, 64},
    };
    for (const Case& c : cases) {
        auto l = loadStereoShare(c.file, StereoLayout::SideBySide, LeftRole);
        auto r = loadStereoShare(c.file, StereoLayout::SideBySide, RightRole);
        ASSERT_TRUE(l && r) << c.what;
        EXPECT_EQ(l.bitmap->pixelsWide(), c.leftWidth) << c.what;
        EXPECT_EQ(reddish(*l.bitmap, 4, 4), c.leftIsRed) << c.what;
        if (c.leftWidth == 32) {
            EXPECT_EQ(bluish(*r.bitmap, 4, 4), c.leftIsRed) << c.what;
        }
    }
}

TEST(MarkedJps, OverUnderAndInterleavedLayouts)
{
    // Over and under: red top half, blue bottom half.
    auto canvas = Bitmap::createRGBCanvas(32, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 32; ++x) {
            std::uint8_t* p = canvas->bitmapData() + std::size_t(y) * canvas->bytesPerRow() + std::size_t(x) * 3;
            p[0] = y < 32 ? 255 : 0;
            p[1] = 0;
            p[2] = y < 32 ? 0 : 255;
        }
    const auto frame = representationUsingType(*canvas, FileType::JPEG, {0.95f, {}}).data;
    for (bool leftFirst : {true, false}) {
        const auto file = withSegment(frame, jpsSegment(leftFirst ? 0x04 : 0x00, 0x03));
        auto l = loadStereoShare(file, StereoLayout::SideBySide, LeftRole);
        ASSERT_TRUE(l);
        EXPECT_EQ(l.bitmap->pixelsHigh(), 32);
        EXPECT_EQ(l.bitmap->pixelsWide(), 32);
        EXPECT_EQ(reddish(*l.bitmap, 16, 16), leftFirst);
    }
    const auto interleaved = withSegment(frame, jpsSegment(0x04, 0x01));
    auto rows = loadStereoShare(interleaved, StereoLayout::SideBySide, RightRole);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows.bitmap->pixelsHigh(), 32);
    EXPECT_EQ(rows.bitmap->pixelsWide(), 32);
}

TEST(PhotoOrientation, TurnedPhotosAreUprightBeforeSplittingAndSizing)
{
    // A landscape frame stored on its side: orientation 6 means turn it a quarter clockwise.
    auto canvas = Bitmap::createRGBCanvas(32, 64);  // stored 32 wide, 64 high
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 32; ++x) {
            std::uint8_t* p = canvas->bitmapData() + std::size_t(y) * canvas->bytesPerRow() + std::size_t(x) * 3;
            // Once turned clockwise, the stored top half becomes the right half.
            p[0] = y >= 32 ? 255 : 0;
            p[1] = 0;
            p[2] = y >= 32 ? 0 : 255;
        }
    const auto stored = representationUsingType(*canvas, FileType::JPEG, {0.95f, {}}).data;
    const auto file = withSegment(stored, exifOrientationSegment(6));

    DecodeResult whole = decodeImage(file);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole.bitmap->pixelsWide(), 64);
    EXPECT_EQ(whole.bitmap->pixelsHigh(), 32);
    EXPECT_TRUE(reddish(*whole.bitmap, 8, 16));
    EXPECT_TRUE(bluish(*whole.bitmap, 56, 16));

    auto l = loadStereoShare(file, StereoLayout::SideBySide, LeftRole);
    ASSERT_TRUE(l);
    EXPECT_EQ(l.bitmap->pixelsWide(), 32);
    EXPECT_EQ(l.bitmap->pixelsHigh(), 32);
    EXPECT_TRUE(reddish(*l.bitmap, 16, 16));

    PictureStore store;
    ASSERT_TRUE(store.setImageWithData(file));
    EXPECT_EQ(store.pinPoint(), (Point{32, 16}));
}

TEST(MultiPictureFile, HeaderShapesCamerasWriteAllGiveThePair)
{
    const auto left = solidJpeg(48, 32, 250 / 255.0, 10 / 255.0, 10 / 255.0);
    const auto right = solidJpeg(48, 32, 10 / 255.0, 10 / 255.0, 250 / 255.0);
    const auto thumbnail = solidJpeg(16, 8, 10 / 255.0, 250 / 255.0, 10 / 255.0);
    const std::uint32_t largeThumbnail = 0x010001;
    struct Case {
        const char* what;
        MpoShape shape;
        std::vector<MpoPicture> pictures;
    };
    const std::vector<MpoPicture> pair = {{left, disparityType}, {right, disparityType}};
    const Case cases[] = {
        {"plain", {}, pair},
        {"first directory at 10", {.firstDirectory = 10}, pair},
        {"first directory at 32, big-endian", {.little = false, .firstDirectory = 32}, pair},
        {"big-endian", {.little = false}, pair},
        {"extra index entries", {.extraEntries = true}, pair},
        {"attributes after the index", {.attributesAfterIndex = true}, pair},
        {"attributes in the second picture", {.attributesInOtherPictures = true}, pair},
        {"everything", {false, 12, true, true, true}, pair},
        {"large thumbnail before the right eye", {},
         {{left, primaryType}, {thumbnail, largeThumbnail}, {right, disparityType}}},
        {"large thumbnail after the pair", {.attributesInOtherPictures = true},
         {{left, disparityType}, {right, disparityType}, {thumbnail, largeThumbnail}}},
    };
    for (const Case& c : cases) {
        const auto file = buildMultiPictureFile(c.pictures, c.shape);
        const MultiPictureIndex index = readMultiPictureIndex(file);
        EXPECT_TRUE(index.error.empty()) << c.what << ": " << index.error;
        EXPECT_TRUE(index.isStereoPair) << c.what;
        const auto l = loadStereoShare(file, StereoLayout::MultiPicture, LeftRole);
        const auto r = loadStereoShare(file, StereoLayout::MultiPicture, RightRole);
        ASSERT_TRUE(l && r) << c.what << ": " << l.error << r.error;
        EXPECT_EQ(r.bitmap->pixelsWide(), 48) << c.what;
        EXPECT_TRUE(reddish(*l.bitmap, 10, 10)) << c.what;
        EXPECT_TRUE(bluish(*r.bitmap, 10, 10)) << c.what;
    }
}

TEST(MultiPictureFile, AnIndexLeadingNowhereSaysSoInsteadOfBlamingThePicture)
{
    const auto left = solidJpeg(48, 32, 250 / 255.0, 10 / 255.0, 10 / 255.0);
    const auto right = solidJpeg(48, 32, 10 / 255.0, 10 / 255.0, 250 / 255.0);
    auto file = buildMultiPictureFile({{left, disparityType}, {right, disparityType}});
    // The second picture's offset lands inside the file, but not on a picture.
    file.insert(file.begin() + std::ptrdiff_t(left.size()) + 60, 7, 0x00);
    const MultiPictureIndex index = readMultiPictureIndex(file);
    EXPECT_FALSE(index.isStereoPair);
    EXPECT_NE(index.error.find("multi-picture index"), std::string::npos) << index.error;
    const auto r = loadStereoShare(file, StereoLayout::MultiPicture, RightRole);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error.find("not a PNG"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("multi-picture index"), std::string::npos) << r.error;
}
