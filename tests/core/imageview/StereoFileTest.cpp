#include "core/imageview/StereoFile.h"

#include "core/imageview/PictureStore.h"

#include <gtest/gtest.h>

using namespace korvex;

namespace {

// A frame whose pixel (x, y from the top) is (x, y, 7).
std::unique_ptr<Bitmap> numberedFrame(int w, int h)
{
    auto frame = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = frame->bitmapData() + std::size_t(y) * frame->bytesPerRow() + std::size_t(x) * 3;
            p[0] = std::uint8_t(x);
            p[1] = std::uint8_t(y);
            p[2] = 7;
        }
    return frame;
}

const FrameSplit sideBySide{FrameSplit::Kind::SideBySide, true};
const FrameSplit rowsFromBottom{FrameSplit::Kind::RowsFromBottom, true};

const std::uint8_t* px(const Bitmap& b, int x, int y)
{
    return b.bitmapData() + std::size_t(y) * b.bytesPerRow() + std::size_t(x) * 4;
}

}  // namespace

TEST(StereoFile, SuffixesAreExactAndCaseSensitive)
{
    EXPECT_EQ(stereoLayoutForPath("/a/b.jps"), StereoLayout::SideBySide);
    EXPECT_EQ(stereoLayoutForPath("b.JPS"), StereoLayout::SideBySide);
    EXPECT_EQ(stereoLayoutForPath("b.pns"), StereoLayout::RowInterleaved);
    EXPECT_EQ(stereoLayoutForPath("b.PNS"), StereoLayout::RowInterleaved);
    EXPECT_EQ(stereoLayoutForPath("b.Jps"), StereoLayout::None);
    EXPECT_EQ(stereoLayoutForPath("b.pNS"), StereoLayout::None);
    EXPECT_EQ(stereoLayoutForPath("b.jps.png"), StereoLayout::None);
    EXPECT_EQ(stereoLayoutForPath("jps"), StereoLayout::None);
    EXPECT_EQ(stereoLayoutForPath("c.mpo"), StereoLayout::MultiPicture);
    EXPECT_EQ(stereoLayoutForPath("c.MPO"), StereoLayout::MultiPicture);
    EXPECT_EQ(stereoLayoutForPath("c.Mpo"), StereoLayout::None);
}

TEST(StereoFile, SideBySideHalvesAreOpaqueRGBA)
{
    auto frame = numberedFrame(10, 4);
    auto left = cutStereoShare(*frame, sideBySide, LeftRole);
    auto right = cutStereoShare(*frame, sideBySide, RightRole);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left.bitmap->pixelsWide(), 5);
    EXPECT_EQ(left.bitmap->pixelsHigh(), 4);
    EXPECT_EQ(left.bitmap->samplesPerPixel(), 4);
    EXPECT_TRUE(left.bitmap->hasAlpha());
    EXPECT_EQ(px(*left.bitmap, 0, 0)[0], 0);
    EXPECT_EQ(px(*left.bitmap, 4, 3)[0], 4);
    EXPECT_EQ(px(*left.bitmap, 4, 3)[1], 3);
    EXPECT_EQ(px(*right.bitmap, 0, 0)[0], 5);
    EXPECT_EQ(px(*right.bitmap, 4, 2)[0], 9);
    EXPECT_EQ(px(*right.bitmap, 4, 2)[3], 255);
    // The result view's role takes the right share too.
    auto other = cutStereoShare(*frame, sideBySide, ResultRole);
    EXPECT_EQ(px(*other.bitmap, 0, 0)[0], 5);
}

TEST(StereoFile, OddAndTinyWidths)
{
    auto frame = numberedFrame(5, 1);
    auto left = cutStereoShare(*frame, sideBySide, LeftRole);
    auto right = cutStereoShare(*frame, sideBySide, RightRole);
    EXPECT_EQ(left.bitmap->pixelsWide(), 2);
    EXPECT_EQ(right.bitmap->pixelsWide(), 2);
    EXPECT_EQ(px(*left.bitmap, 1, 0)[0], 1);
    EXPECT_EQ(px(*right.bitmap, 0, 0)[0], 3);  // the middle column 2 is in neither share

    auto two = numberedFrame(2, 2);
    EXPECT_EQ(px(*cutStereoShare(*two, sideBySide, RightRole).bitmap, 0, 1)[0], 1);

    auto one = numberedFrame(1, 3);
    auto refused = cutStereoShare(*one, sideBySide, LeftRole);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.error.find("too small"), std::string::npos);
}

TEST(StereoFile, RowInterleavedCountsRowsFromTheBottom)
{
    auto frame = numberedFrame(3, 6);  // rows from the bottom: 0 is top row 5
    auto left = cutStereoShare(*frame, rowsFromBottom, LeftRole);
    auto right = cutStereoShare(*frame, rowsFromBottom, RightRole);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left.bitmap->pixelsHigh(), 4);  // 6 / 2 + 1
    EXPECT_EQ(left.bitmap->pixelsWide(), 3);
    // Left: bottom rows 1, 3, 5 = top rows 4, 2, 0 on canvas rows 3, 2, 1 (from the top).
    EXPECT_EQ(px(*left.bitmap, 0, 3)[1], 4);
    EXPECT_EQ(px(*left.bitmap, 0, 2)[1], 2);
    EXPECT_EQ(px(*left.bitmap, 2, 1)[1], 0);
    EXPECT_EQ(px(*left.bitmap, 2, 1)[3], 255);
    EXPECT_EQ(px(*left.bitmap, 0, 0)[3], 0);  // the row above stays transparent
    // Right: bottom rows 0, 2, 4 = top rows 5, 3, 1.
    EXPECT_EQ(px(*right.bitmap, 1, 3)[1], 5);
    EXPECT_EQ(px(*right.bitmap, 1, 1)[1], 1);
    EXPECT_EQ(px(*right.bitmap, 1, 0)[3], 0);
}

TEST(StereoFile, RowInterleavedOddHeightGivesTheRightEyeTheExtraRow)
{
    auto frame = numberedFrame(2, 5);
    auto left = cutStereoShare(*frame, rowsFromBottom, LeftRole);
    auto right = cutStereoShare(*frame, rowsFromBottom, RightRole);
    EXPECT_EQ(left.bitmap->pixelsHigh(), 3);
    EXPECT_EQ(right.bitmap->pixelsHigh(), 3);
    // Right takes bottom rows 0, 2, 4 (top rows 4, 2, 0) and fills every canvas row.
    EXPECT_EQ(px(*right.bitmap, 0, 0)[1], 0);
    EXPECT_EQ(px(*right.bitmap, 0, 0)[3], 255);
    // Left takes bottom rows 1, 3 (top rows 3, 1); its top canvas row is empty.
    EXPECT_EQ(px(*left.bitmap, 0, 2)[1], 3);
    EXPECT_EQ(px(*left.bitmap, 0, 1)[1], 1);
    EXPECT_EQ(px(*left.bitmap, 0, 0)[3], 0);

    auto single = numberedFrame(4, 1);  // one row: the left eye gets a transparent row
    auto lone = cutStereoShare(*single, rowsFromBottom, LeftRole);
    ASSERT_TRUE(lone);
    EXPECT_EQ(lone.bitmap->pixelsHigh(), 1);
    EXPECT_EQ(px(*lone.bitmap, 3, 0)[3], 0);
}

TEST(StereoFile, GreyAndSixteenBitFramesBecomeRGBA)
{
    Bitmap::Layout grey{4, 2, 8, 1, false, false, ColorSpace::CalibratedWhite};
    auto g = Bitmap::create(grey);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            g->bitmapData()[std::size_t(y) * g->bytesPerRow() + std::size_t(x)] = std::uint8_t(10 * x + y);
    auto right = cutStereoShare(*g, sideBySide, RightRole);
    const std::uint8_t* p = px(*right.bitmap, 1, 1);
    EXPECT_EQ(p[0], 31);
    EXPECT_EQ(p[1], 31);
    EXPECT_EQ(p[2], 31);
    EXPECT_EQ(p[3], 255);

    Bitmap::Layout deep{2, 1, 16, 3, false, false, ColorSpace::DeviceRGB};
    auto d = Bitmap::create(deep);
    d->setColor(Color::rgb(1.0, 0.5, 0.0), 1, 0);
    auto share = cutStereoShare(*d, sideBySide, RightRole);
    EXPECT_EQ(px(*share.bitmap, 0, 0)[0], 255);
    EXPECT_EQ(px(*share.bitmap, 0, 0)[1], 128);
    EXPECT_EQ(px(*share.bitmap, 0, 0)[2], 0);
}

TEST(StereoFile, MarkedArrangementsAndEyeOrder)
{
    auto frame = numberedFrame(6, 5);
    // Cross-eyed side by side: the left eye is the right half.
    auto crossed = cutStereoShare(*frame, {FrameSplit::Kind::SideBySide, false}, LeftRole);
    EXPECT_EQ(px(*crossed.bitmap, 0, 0)[0], 3);

    FrameSplit overUnder{FrameSplit::Kind::OverUnder, true};
    auto top = cutStereoShare(*frame, overUnder, LeftRole);
    auto bottom = cutStereoShare(*frame, overUnder, RightRole);
    EXPECT_EQ(top.bitmap->pixelsHigh(), 2);
    EXPECT_EQ(top.bitmap->pixelsWide(), 6);
    EXPECT_EQ(px(*top.bitmap, 0, 0)[1], 0);
    EXPECT_EQ(px(*bottom.bitmap, 0, 0)[1], 3);  // the middle row 2 of an odd height is skipped
    EXPECT_EQ(px(*bottom.bitmap, 0, 1)[1], 4);
    overUnder.leftFirst = false;
    EXPECT_EQ(px(*cutStereoShare(*frame, overUnder, LeftRole).bitmap, 0, 0)[1], 3);

    FrameSplit rows{FrameSplit::Kind::AlternateRowsFromTop, true};
    auto firstRows = cutStereoShare(*frame, rows, LeftRole);
    auto secondRows = cutStereoShare(*frame, rows, RightRole);
    EXPECT_EQ(firstRows.bitmap->pixelsHigh(), 3);  // rows 0, 2, 4
    EXPECT_EQ(secondRows.bitmap->pixelsHigh(), 2);  // rows 1, 3
    EXPECT_EQ(px(*firstRows.bitmap, 0, 2)[1], 4);
    EXPECT_EQ(px(*secondRows.bitmap, 0, 1)[1], 3);
    rows.leftFirst = false;
    EXPECT_EQ(px(*cutStereoShare(*frame, rows, LeftRole).bitmap, 0, 0)[1], 1);

    auto flat = numberedFrame(4, 1);
    EXPECT_FALSE(cutStereoShare(*flat, {FrameSplit::Kind::OverUnder, true}, LeftRole));
}
