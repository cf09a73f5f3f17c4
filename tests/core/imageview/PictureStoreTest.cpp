#include "core/imageview/PictureStore.h"

#include "core/bitmap/ImageEncoder.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace korvex;
using korvex::testing::crc32;
using korvex::testing::solidCanvas;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> encodePNG(const Bitmap& b)
{
    EncodeResult encoded = representationUsingType(b, FileType::PNG, {});
    EXPECT_TRUE(encoded) << encoded.error;
    return encoded.data;
}

// Inserts a pHYs chunk declaring 300 dots per inch right after IHDR.
std::vector<std::uint8_t> declare300Dpi(std::vector<std::uint8_t> png)
{
    const std::uint32_t ppm = 11811;  // 300 dpi in pixels per metre
    std::vector<std::uint8_t> chunk = {0, 0, 0, 9, 'p', 'H', 'Y', 's'};
    for (int i = 0; i < 2; ++i)
        for (int shift = 24; shift >= 0; shift -= 8)
            chunk.push_back(std::uint8_t(ppm >> shift));
    chunk.push_back(1);
    const std::uint32_t crc = crc32(chunk.data() + 4, chunk.size() - 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.push_back(std::uint8_t(crc >> shift));
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());  // 8 signature + 25 IHDR
    return png;
}

class PictureStoreFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("korvex-store-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }

    // A 1000 x 600 side-by-side frame: left half red, right half blue.
    std::vector<std::uint8_t> sideBySideFrame()
    {
        auto frame = solidCanvas(1000, 600, 1.0, 0, 0);
        for (int y = 0; y < 600; ++y)
            for (int x = 500; x < 1000; ++x) {
                std::uint8_t* p = frame->bitmapData() + std::size_t(y) * frame->bytesPerRow() + std::size_t(x) * 3;
                p[0] = 0;
                p[2] = 255;
            }
        return encodePNG(*frame);
    }

    fs::path dir;
};

}  // namespace

TEST(PictureStore, StartsEmptyWithUnsetPin)
{
    PictureStore store;
    EXPECT_EQ(store.image(), nullptr);
    EXPECT_EQ(store.pinPoint(), (Point{-1, -1}));
    EXPECT_EQ(store.size(), (Size{0, 0}));
    store.setPinPoint({12, 40});  // an empty view clamps any point to (0, 0)
    EXPECT_EQ(store.pinPoint(), (Point{0, 0}));
}

TEST(PictureStore, PinPointIsClampedToThePicture)
{
    PictureStore store;
    store.setImage(Bitmap::createRGBCanvas(640, 480));
    store.setPinPoint({-5, 1000});
    EXPECT_EQ(store.pinPoint(), (Point{0, 480}));
    store.setPinPoint({700.5, -0.1});
    EXPECT_EQ(store.pinPoint(), (Point{640, 0}));
    store.setPinPoint({320.25, 240.75});  // never rounded
    EXPECT_EQ(store.pinPoint(), (Point{320.25, 240.75}));
    store.setPinPoint({std::nan(""), 3});
    EXPECT_EQ(store.pinPoint(), (Point{0, 3}));
}

TEST(PictureStore, HandOverMovesOwnershipWithoutCopying)
{
    PictureStore store;
    int frames = 0;
    store.setFrameChangedHandler([&] { ++frames; });
    auto canvas = Bitmap::createRGBCanvas(4, 4);
    Bitmap* raw = canvas.get();
    store.setImage(std::move(canvas));
    EXPECT_EQ(frames, 1);
    store.setPinPoint({1, 1});
    auto detached = store.imageAndDetach();
    EXPECT_EQ(detached.get(), raw);
    EXPECT_EQ(store.image(), nullptr);
    EXPECT_EQ(store.pinPoint(), (Point{1, 1}));  // detaching leaves the pin alone
    EXPECT_EQ(store.imageAndDetach(), nullptr);  // a second detach gives nothing
    store.setImage(nullptr);
    EXPECT_EQ(store.image(), nullptr);
}

TEST(PictureStore, ResultCanvasSizes)
{
    PictureStore store;
    store.setPinPoint({3, 3});
    store.createImageWithSize({640.9, 480.2});
    ASSERT_NE(store.image(), nullptr);
    EXPECT_EQ(store.image()->pixelsWide(), 640);
    EXPECT_EQ(store.image()->pixelsHigh(), 480);
    EXPECT_EQ(store.image()->size(), (Size{640, 480}));
    EXPECT_EQ(store.pinPoint(), (Point{0, 0}));  // untouched: it was clamped while empty
    for (Size bad : {Size{0.7, 480}, Size{-20, 480}, Size{640, 0.99}, Size{std::nan(""), 5}, Size{1e300, 1e300}}) {
        store.createImageWithSize({10, 10});
        store.createImageWithSize(bad);
        EXPECT_EQ(store.image(), nullptr) << bad.width << " x " << bad.height;
    }
}

TEST_F(PictureStoreFiles, LoadNormalisesSizeAndCentresThePin)
{
    PictureStore store;
    int frames = 0;
    store.setFrameChangedHandler([&] { ++frames; });
    ASSERT_TRUE(store.setImageWithFile(write("odd.png", encodePNG(*solidCanvas(641, 481, 1 / 255.0, 2 / 255.0, 3 / 255.0)))));
    EXPECT_EQ(store.pinPoint(), (Point{320.5, 240.5}));
    EXPECT_EQ(frames, 1);

    // Declared resolution never changes the units: one unit is one pixel.
    ASSERT_TRUE(store.setImageWithFile(write("dense.png", declare300Dpi(encodePNG(*solidCanvas(1200, 800, 9 / 255.0, 9 / 255.0, 9 / 255.0))))));
    EXPECT_EQ(store.size(), (Size{1200, 800}));
    EXPECT_EQ(store.pinPoint(), (Point{600, 400}));
}

TEST_F(PictureStoreFiles, FailedLoadEmptiesTheViewAndSaysWhy)
{
    PictureStore store;
    store.setImage(Bitmap::createRGBCanvas(8, 8));
    EXPECT_FALSE(store.setImageWithFile(write("junk.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'})));
    EXPECT_EQ(store.image(), nullptr);
    EXPECT_EQ(store.pinPoint(), (Point{0, 0}));
    EXPECT_FALSE(store.lastError().empty());
    EXPECT_FALSE(store.setImageWithFile((dir / "missing.jpg").string()));
    EXPECT_FALSE(store.lastError().empty());
    const std::vector<std::uint8_t> nothing;
    EXPECT_FALSE(store.setImageWithData(nothing));
    EXPECT_FALSE(store.lastError().empty());
}

TEST_F(PictureStoreFiles, StereoFilesSplitByExactSuffixOnly)
{
    const auto frame = sideBySideFrame();
    const std::string jps = write("pair.jps", frame);
    PictureStore left, right;
    left.setType(LeftRole);
    right.setType(RightRole);
    ASSERT_TRUE(left.setImageWithFile(jps));
    ASSERT_TRUE(right.setImageWithFile(jps));
    EXPECT_EQ(left.size(), (Size{500, 600}));
    EXPECT_EQ(left.pinPoint(), (Point{250, 300}));
    EXPECT_EQ(left.image()->colorAt(499, 0).red, 1.0);
    EXPECT_EQ(right.image()->colorAt(0, 599).blue, 1.0);
    EXPECT_TRUE(right.image()->hasAlpha());

    ASSERT_TRUE(left.setImageWithFile(write("PAIR.JPS", frame)));
    EXPECT_EQ(left.size(), (Size{500, 600}));
    ASSERT_TRUE(left.setImageWithFile(write("pair.Jps", frame)));  // mixed case: one picture
    EXPECT_EQ(left.size(), (Size{1000, 600}));
    ASSERT_TRUE(left.setImageWithData(frame));  // data is never split
    EXPECT_EQ(left.size(), (Size{1000, 600}));

    ASSERT_TRUE(right.setImageWithFile(write("dense.jps", declare300Dpi(frame))));  // cut in pixels
    EXPECT_EQ(right.size(), (Size{500, 600}));
    EXPECT_EQ(right.image()->colorAt(0, 0).blue, 1.0);

    ASSERT_TRUE(left.setImageWithFile(write("rows.pns", encodePNG(*solidCanvas(640, 480, 5 / 255.0, 6 / 255.0, 7 / 255.0)))));
    EXPECT_EQ(left.size(), (Size{640, 241}));
    EXPECT_EQ(left.pinPoint(), (Point{320, 120.5}));
}
