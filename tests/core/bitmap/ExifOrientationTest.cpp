#include "core/bitmap/ExifOrientation.h"

#include "../JpegTestSegments.h"

#include <gtest/gtest.h>

using namespace korvex;

namespace {

// A 3 x 2 grey picture numbered 1..6 row by row.
std::unique_ptr<Bitmap> numbered()
{
    auto b = Bitmap::create({3, 2, 8, 1, false, false, ColorSpace::DeviceWhite});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b->bitmapData()[std::size_t(y) * b->bytesPerRow() + std::size_t(x)] = std::uint8_t(1 + y * 3 + x);
    return b;
}

std::vector<int> pixels(const Bitmap& b)
{
    std::vector<int> v;
    for (int y = 0; y < b.pixelsHigh(); ++y)
        for (int x = 0; x < b.pixelsWide(); ++x)
            v.push_back(b.bitmapData()[std::size_t(y) * b.bytesPerRow() + std::size_t(x)]);
    return v;
}

}  // namespace

TEST(ExifOrientation, EachOrientationTurnsThePictureUpright)
{
    // Stored pictures of 1 2 3 / 4 5 6 and what the camera saw.
    const std::vector<std::vector<int>> upright = {
        {1, 2, 3, 4, 5, 6},  // 1
        {3, 2, 1, 6, 5, 4},  // 2: mirrored
        {6, 5, 4, 3, 2, 1},  // 3: half turn
        {4, 5, 6, 1, 2, 3},  // 4: flipped
        {1, 4, 2, 5, 3, 6},  // 5: transposed
        {4, 1, 5, 2, 6, 3},  // 6: a quarter turn clockwise
        {6, 3, 5, 2, 4, 1},  // 7: transversed
        {3, 6, 2, 5, 1, 4},  // 8: a quarter turn anticlockwise
    };
    for (int o = 1; o <= 8; ++o) {
        auto b = numbered();
        ASSERT_TRUE(orientUpright(b, o));
        EXPECT_EQ(b->pixelsWide(), o >= 5 ? 2 : 3) << o;
        EXPECT_EQ(pixels(*b), upright[std::size_t(o - 1)]) << "orientation " << o;
        EXPECT_EQ(b->colorSpace(), ColorSpace::DeviceWhite);
    }
}

TEST(ExifOrientation, ReadsTheTagInBothByteOrders)
{
    const std::vector<std::uint8_t> bare = {0xFF, 0xD8, 0xFF, 0xD9};
    using korvex::testing::exifOrientationSegment;
    using korvex::testing::withSegment;
    EXPECT_EQ(exifOrientation(bare), 1);
    EXPECT_EQ(exifOrientation(withSegment(bare, exifOrientationSegment(6, false))), 6);
    EXPECT_EQ(exifOrientation(withSegment(bare, exifOrientationSegment(8, true))), 8);
    EXPECT_EQ(exifOrientation(withSegment(bare, exifOrientationSegment(9))), 1);  // out of range: upright
    auto cut = withSegment(bare, exifOrientationSegment(6));
    cut[5] = 60;  // a segment length past the end of the stream
    EXPECT_EQ(exifOrientation(cut), 1);
}
