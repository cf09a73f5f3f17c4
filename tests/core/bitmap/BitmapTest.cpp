#include "core/bitmap/Bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korvex;

TEST(Bitmap, ResultCanvasIsPaddedMeshedRGB)
{
    auto canvas = Bitmap::createRGBCanvas(641, 3);
    ASSERT_TRUE(canvas);
    EXPECT_EQ(canvas->pixelsWide(), 641);
    EXPECT_EQ(canvas->pixelsHigh(), 3);
    EXPECT_EQ(canvas->samplesPerPixel(), 3);
    EXPECT_EQ(canvas->bitsPerPixel(), 24);
    EXPECT_EQ(canvas->bitsPerSample(), 8);
    EXPECT_FALSE(canvas->hasAlpha());
    EXPECT_FALSE(canvas->isPlanar());
    EXPECT_EQ(canvas->numberOfPlanes(), 1);
    EXPECT_EQ(canvas->colorSpaceName(), "NSCalibratedRGBColorSpace");
    EXPECT_GT(canvas->bytesPerRow(), 641u * 3u);  // writers must step by bytesPerRow
    EXPECT_EQ(canvas->size(), (Size{641, 3}));
}

TEST(Bitmap, RefusesEmptyOrInconsistentLayouts)
{
    EXPECT_FALSE(Bitmap::createRGBCanvas(0, 10));
    EXPECT_FALSE(Bitmap::createRGBCanvas(10, -1));
    Bitmap::Layout greyWithThreeSamples{4, 4, 8, 3, false, false, ColorSpace::DeviceWhite};
    EXPECT_FALSE(Bitmap::create(greyWithThreeSamples));
    Bitmap::Layout tooNarrowRow{4, 4, 8, 3, false, false, ColorSpace::DeviceRGB, 11};
    EXPECT_FALSE(Bitmap::create(tooNarrowRow));
    Bitmap::Layout huge{65535, 65535, 16, 4, true, false, ColorSpace::DeviceRGB};
    EXPECT_FALSE(Bitmap::create(huge));  // beyond maxBytes: refused, not attempted
}

TEST(Bitmap, ThreeSamplesInThirtyTwoBitsStepsFourBytes)
{
    Bitmap::Layout layout{2, 1, 8, 3, false, false, ColorSpace::DeviceRGB, 0, 32};
    auto bitmap = Bitmap::create(layout);
    ASSERT_TRUE(bitmap);
    const std::uint8_t px[8] = {10, 20, 30, 99, 40, 50, 60, 99};
    std::memcpy(bitmap->bitmapData(), px, sizeof px);
    const Color c = bitmap->colorAt(1, 0);
    EXPECT_DOUBLE_EQ(c.red, 40 / 255.0);
    EXPECT_DOUBLE_EQ(c.blue, 60 / 255.0);
    EXPECT_DOUBLE_EQ(c.alpha, 1.0);
}

TEST(Bitmap, SetColorRoundsToNearestAndClamps)
{
    auto canvas = Bitmap::createRGBCanvas(2, 2);
    canvas->setColor(Color::rgb(0.5, 1.5, -0.2), 1, 1);
    const std::uint8_t* p = canvas->bitmapData() + canvas->bytesPerRow() + 3;
    EXPECT_EQ(p[0], 128);  // 127.5 rounds away from zero
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 0);
    canvas->setColor(Color::grey(0.2), 0, 0);  // grey into RGB: r = g = b
    EXPECT_EQ(canvas->bitmapData()[0], 51);
    EXPECT_EQ(canvas->bitmapData()[1], 51);
    EXPECT_EQ(canvas->bitmapData()[2], 51);
    for (int i = 0; i < 8; ++i) {  // every 8-bit value survives a colour round trip
        const auto v = std::uint8_t(i * 36);
        canvas->setColor(Color::rgb(v / 255.0, v / 255.0, v / 255.0), 0, 1);
        EXPECT_EQ(canvas->bitmapData()[canvas->bytesPerRow()], v);
    }
}

TEST(Bitmap, GreyAndSixteenBitAndPlanarSamples)
{
    Bitmap::Layout grey{3, 2, 16, 2, true, false, ColorSpace::CalibratedWhite};
    auto g = Bitmap::create(grey);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->bitsPerPixel(), 32);
    g->setColor(Color::grey(1.0, 0.0), 2, 1);
    const Color c = g->colorAt(2, 1);
    EXPECT_TRUE(c.isGrey());
    EXPECT_DOUBLE_EQ(c.white(), 1.0);
    EXPECT_DOUBLE_EQ(c.alpha, 0.0);

    Bitmap::Layout planar{2, 2, 8, 3, false, true, ColorSpace::DeviceRGB};
    auto p = Bitmap::create(planar);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->numberOfPlanes(), 3);
    EXPECT_EQ(p->bitsPerPixel(), 8);
    p->setColor(Color::rgb(1.0, 0.0, 1.0), 1, 0);
    EXPECT_EQ(p->planeData(0)[1], 255);
    EXPECT_EQ(p->planeData(1)[1], 0);
    EXPECT_EQ(p->planeData(2)[1], 255);
    EXPECT_FALSE(p->colorAt(1, 0).isGrey());
}

TEST(Bitmap, OutsideCoordinatesAreIgnored)
{
    auto canvas = Bitmap::createRGBCanvas(1, 1);
    canvas->setColor(Color::rgb(1, 1, 1), 5, 0);  // must not write out of bounds
    EXPECT_DOUBLE_EQ(canvas->colorAt(-1, 0).alpha, 0.0);
}

TEST(BitmapTest, ResultCanvasReusesMemoryThatFits)
{
    auto first = Bitmap::createRGBCanvas(100, 50);
    ASSERT_NE(first, nullptr);
    const std::uint8_t* memory = first->bitmapData();

    // One column or row less, as a changed offset gives: the same memory.
    auto narrower = Bitmap::createRGBCanvas(99, 50, std::move(first));
    ASSERT_NE(narrower, nullptr);
    EXPECT_EQ(narrower->bitmapData(), memory);
    EXPECT_EQ(narrower->pixelsWide(), 99);
    EXPECT_EQ(narrower->bytesPerRow(), 304u);  // 297 padded to 16
    EXPECT_EQ(narrower->bitsPerPixel(), 24);
    EXPECT_EQ(narrower->size(), (Size{99, 50}));
    EXPECT_FALSE(narrower->hasAlpha());
    std::memset(narrower->bitmapData(), 7, narrower->totalBytes());  // all of it is ours to write

    auto back = Bitmap::createRGBCanvas(100, 50, std::move(narrower));
    EXPECT_EQ(back->bitmapData(), memory);  // the capacity, not the last size, decides

    // Larger than the memory, or far smaller: a canvas of its own.
    auto larger = Bitmap::createRGBCanvas(106, 50, std::move(back));
    ASSERT_NE(larger, nullptr);
    EXPECT_EQ(larger->pixelsWide(), 106);
    std::memset(larger->bitmapData(), 7, larger->totalBytes());
    auto tiny = Bitmap::createRGBCanvas(10, 10, std::move(larger));
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(tiny->pixelsWide(), 10);
    auto grown = Bitmap::createRGBCanvas(101, 50, std::move(tiny));  // tiny's memory cannot serve
    ASSERT_NE(grown, nullptr);
    std::memset(grown->bitmapData(), 7, grown->totalBytes());
    tiny = std::move(grown);

    EXPECT_EQ(Bitmap::createRGBCanvas(0, 10, std::move(tiny)), nullptr);
    EXPECT_NE(Bitmap::createRGBCanvas(3, 3, nullptr), nullptr);
}

TEST(Bitmap, BandsOverBorrowedMemoryWriteIntoItAndLeaveItToItsOwner)
{
    const Bitmap::Layout band{5, 4, 8, 4, true, false, ColorSpace::DeviceRGB};
    const std::size_t bandBytes = Bitmap::bytesFor(band);
    const std::size_t rowBytes = Bitmap::create(band)->bytesPerRow();
    EXPECT_EQ(bandBytes, rowBytes * 4);
    EXPECT_EQ(Bitmap::bytesFor(Bitmap::Layout{4, 4, 8, 3, false, false, ColorSpace::DeviceWhite}), 0u);

    // Three bands side by side in one vector; dropping them must not free it
    // (the sanitizer build would catch a free of memory malloc never gave).
    std::vector<std::uint8_t> block(bandBytes * 3, 0);
    for (int i = 0; i < 3; ++i) {
        auto view = Bitmap::createOver(band, block.data() + bandBytes * std::size_t(i), bandBytes);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->bitmapData(), block.data() + bandBytes * std::size_t(i));
        view->setColor(Color::rgb(1, 0, 0, 1), 4, 3);
    }
    for (int i = 0; i < 3; ++i) {
        const std::size_t lastPixel = bandBytes * std::size_t(i) + 3 * rowBytes + 4 * 4;
        EXPECT_EQ(block[lastPixel], 255) << "band " << i;
        EXPECT_EQ(block[lastPixel + 3], 255) << "band " << i;
    }
    // A recycled borrowed band stays borrowed.
    auto canvas = Bitmap::createRGBCanvas(5, 4, Bitmap::createOver(band, block.data(), bandBytes));
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->bitmapData(), block.data());
    canvas.reset();

    EXPECT_EQ(Bitmap::createOver(band, block.data(), bandBytes - 1), nullptr);
    EXPECT_EQ(Bitmap::createOver(band, nullptr, bandBytes), nullptr);
}
