#include "gui/imageview/DisplayImage.h"

#include "core/bitmap/Bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace korvex {
namespace {

std::unique_ptr<Bitmap> make(int spp, bool alpha, int bits = 8, bool planar = false, int w = 4, int h = 2)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.bitsPerSample = bits;
    layout.samplesPerPixel = spp;
    layout.hasAlpha = alpha;
    layout.isPlanar = planar;
    layout.colorSpace = spp < 3 ? ColorSpace::CalibratedWhite : ColorSpace::CalibratedRGB;
    auto bitmap = Bitmap::create(layout);
    std::memset(bitmap->bitmapData(), 0, bitmap->totalBytes());
    return bitmap;
}

TEST(DisplayImageTest, SharesTheBitmapBytesWhereQtReadsTheLayout)
{
    struct Case {
        int spp;
        bool alpha;
        QImage::Format format;
    };
    for (const Case& c : {Case{3, false, QImage::Format_RGB888}, Case{4, true, QImage::Format_RGBA8888},
                          Case{1, false, QImage::Format_Grayscale8}}) {
        auto bitmap = make(c.spp, c.alpha);
        DisplayImage display;
        display.update(bitmap.get());
        EXPECT_TRUE(display.sharesBitmapBytes()) << c.spp;
        EXPECT_EQ(display.level(0).format(), c.format);
        EXPECT_EQ(display.level(0).constBits(), bitmap->bitmapData());
        EXPECT_EQ(display.level(0).bytesPerLine(), qsizetype(bitmap->bytesPerRow()));
    }
}

TEST(DisplayImageTest, ConvertsOtherLayoutsOncePerPicture)
{
    auto wide = make(3, false, 16);
    wide->setColor(Color::rgb(1.0, 0.5, 0.0), 1, 1);
    DisplayImage display;
    display.update(wide.get());
    EXPECT_FALSE(display.sharesBitmapBytes());
    EXPECT_EQ(display.level(0).pixelColor(1, 1), QColor(255, 128, 0));

    // Pixels changed in place show only after invalidate().
    wide->setColor(Color::rgb(0.0, 0.0, 1.0), 1, 1);
    display.update(wide.get());
    EXPECT_EQ(display.level(0).pixelColor(1, 1), QColor(255, 128, 0));
    display.invalidate();
    display.update(wide.get());
    EXPECT_EQ(display.level(0).pixelColor(1, 1), QColor(0, 0, 255));

    auto planar = make(3, false, 8, true);
    planar->setColor(Color::rgb(0.2, 0.4, 0.6), 3, 0);
    display.update(planar.get());
    EXPECT_EQ(display.level(0).pixelColor(3, 0), QColor(51, 102, 153));

    auto greyAlpha = make(2, true);
    greyAlpha->setColor(Color::grey(0.4, 0.2), 2, 1);
    display.update(greyAlpha.get());
    EXPECT_EQ(display.level(0).pixelColor(2, 1), QColor(102, 102, 102, 51));

    display.update(nullptr);
    EXPECT_TRUE(display.isNull());
}

TEST(DisplayImageTest, ReducedLevelsForZoomingOut)
{
    auto bitmap = make(4, true, 8, false, 64, 16);
    // Opaque red above transparent black: averaging must not darken the red.
    for (int x = 0; x < 64; ++x)
        bitmap->setColor(Color::rgb(1, 0, 0, 1), x, 0);
    DisplayImage display;
    display.update(bitmap.get());
    EXPECT_EQ(display.levelForZoom(1.0), 0);
    EXPECT_EQ(display.levelForZoom(8.0), 0);
    EXPECT_EQ(display.levelForZoom(0.75), 0);
    EXPECT_EQ(display.levelForZoom(0.5), 1);
    EXPECT_EQ(display.levelForZoom(0.25), 2);
    EXPECT_EQ(display.levelForZoom(0.1), 3);
    // No deeper than one row.
    EXPECT_EQ(display.levelForZoom(0.001), 4);

    const QImage& half = display.level(1);
    EXPECT_EQ(half.size(), QSize(32, 8));
    const QColor mixed = half.pixelColor(0, 0);
    EXPECT_EQ(mixed.red(), 255);
    EXPECT_EQ(mixed.alpha(), 128);
    EXPECT_EQ(display.level(4).size(), QSize(4, 1));

    // Other zooms out get one copy at exactly the zoomed size.
    EXPECT_EQ(&display.forZoom(0.5), &display.level(1));
    EXPECT_EQ(&display.forZoom(2.0), &display.level(0));
    EXPECT_EQ(display.forZoom(0.75).size(), QSize(48, 12));
    EXPECT_EQ(display.forZoom(0.75).pixelColor(10, 0).red(), 255);
    EXPECT_EQ(display.forZoom(0.1).size(), QSize(6, 2));
}

TEST(DisplayImageTest, HalvingAveragesEachTwoByTwoBlockOfEveryLayout)
{
    // Odd sizes, and a photograph-sized RGB picture whose halving is split
    // between two threads: every output byte is its block's rounded mean.
    struct Case { int spp; int w, h; };
    for (const Case c : {Case{3, 2049, 2051}, Case{1, 7, 5}, Case{3, 5, 1}, Case{1, 1, 9}, Case{3, 1, 2}}) {
        auto bitmap = make(c.spp, false, 8, false, c.w, c.h);
        const int bytes = c.spp;
        for (int y = 0; y < c.h; ++y)
            for (int i = 0; i < c.w * bytes; ++i)
                bitmap->bitmapData()[std::size_t(y) * bitmap->bytesPerRow() + std::size_t(i)] =
                    std::uint8_t(i * 7 + y * 13 + (i * y) % 5);
        DisplayImage display;
        display.update(bitmap.get());
        const QImage& half = display.level(1);
        ASSERT_EQ(half.size(), QSize(std::max(1, c.w / 2), std::max(1, c.h / 2))) << c.w << "x" << c.h;
        auto at = [&](int x, int y, int k) {
            x = std::min(x, c.w - 1);
            y = std::min(y, c.h - 1);
            return int(bitmap->bitmapData()[std::size_t(y) * bitmap->bytesPerRow() + std::size_t(x * bytes + k)]);
        };
        int wrong = 0;
        for (int y = 0; y < half.height(); ++y)
            for (int x = 0; x < half.width(); ++x)
                for (int k = 0; k < bytes; ++k) {
                    const int mean = (at(2 * x, 2 * y, k) + at(2 * x + 1, 2 * y, k) + at(2 * x, 2 * y + 1, k)
                                      + at(2 * x + 1, 2 * y + 1, k) + 2) / 4;
                    wrong += half.constScanLine(y)[x * bytes + k] != mean;
                }
        EXPECT_EQ(wrong, 0) << c.w << "x" << c.h << ", " << c.spp << " samples";
    }
}

}  // namespace
}  // namespace korvex
