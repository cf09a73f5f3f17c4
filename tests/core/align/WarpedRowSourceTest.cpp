// The right picture read through its correction band by band, against the
// whole picture resampled at once.
#include "core/align/WarpedRowSource.h"

#include "core/align/RightPictureResampler.h"

#include "../BitmapRows.h"
#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <vector>

using namespace korvex;
using namespace korvex::testing;

namespace {

struct Warp {
    const char* name;
    RightCorrection correction;
    int wide, high;
};

// The rows of the warped source read in runs of the given lengths, in turn.
std::unique_ptr<Bitmap> readInRuns(WarpedRowSource& warped, const std::vector<int>& runs, int maxRows)
{
    const Bitmap::Layout& layout = warped.layout();
    auto whole = Bitmap::create(layout);
    Bitmap::Layout bandLayout = layout;
    bandLayout.pixelsHigh = maxRows;
    auto band = Bitmap::create(bandLayout);
    for (int row = 0, i = 0; row < layout.pixelsHigh; ++i) {
        const int count = std::min({runs[std::size_t(i) % runs.size()], maxRows, layout.pixelsHigh - row});
        // Into the band's lower rows too, as a caller may ask.
        const int at = maxRows - count;
        if (!warped.readRows(*band, at, count))
            return nullptr;
        for (int y = 0; y < count; ++y)
            std::memcpy(whole->bitmapData() + whole->bytesPerRow() * std::size_t(row + y),
                        band->bitmapData() + band->bytesPerRow() * std::size_t(at + y), whole->bytesPerRow());
        row += count;
    }
    return whole;
}

}  // namespace

TEST(WarpedRowSource, GivesTheWholeResampledPicturesBytesWhateverTheRuns)
{
    const std::vector<Warp> warps = {
        {"a slight turn", {0.4, 1.0, 0.0, 0.0}, 203, 151},
        {"a fraction of a pixel up", {0.0, 1.0, 0.3, -0.45}, 97, 120},
        {"the widest turn with a shift", {-15.0, 1.0, 0.2, 0.7}, 240, 90},
        {"shrunk and turned", {3.0, 0.85, 0.0, 0.0}, 150, 160},
        {"enlarged", {0.0, 1.2, 0.0, 0.0}, 61, 300},
        {"a turn larger than the picture is high", {60.0, 1.0, 0.0, 0.0}, 300, 40},
    };
    const Bitmap::Layout rgbLike[] = {Bitmap::Layout{1, 1, 8, 3, false, false}, Bitmap::Layout{1, 1, 8, 4, true}};
    const std::vector<std::vector<int>> runPatterns = {{32}, {1, 7, 32, 3}};
    for (const Warp& w : warps) {
        SCOPED_TRACE(w.name);
        for (Bitmap::Layout layout : rgbLike) {
            SCOPED_TRACE(layout.samplesPerPixel);
            layout.pixelsWide = w.wide;
            layout.pixelsHigh = w.high;
            const auto picture = patternBitmap(layout);
            const auto expected = resampleRightPicture(*picture, w.correction);
            ASSERT_TRUE(expected);
            for (const std::vector<int>& runs : runPatterns) {
                BitmapRows rows(*picture);
                const auto warped = WarpedRowSource::create(rows, w.correction, 32);
                ASSERT_TRUE(warped);
                // The window holds the correction's reach, not the picture.
                if (w.correction.rotationDegrees == 0.0 && w.correction.scale == 1.0) {
                    EXPECT_LE(warped->windowRows(), 32 + 6);
                }
                const auto got = readInRuns(*warped, runs, 32);
                ASSERT_TRUE(got);
                EXPECT_EQ(rows.rowsRead(), w.high) << "the source is read to its end";
                for (int y = 0; y < w.high; ++y) {
                    ASSERT_EQ(0, std::memcmp(got->bitmapData() + got->bytesPerRow() * std::size_t(y),
                                             expected->bitmapData() + expected->bytesPerRow() * std::size_t(y),
                                             std::size_t(w.wide) * std::size_t(picture->bitsPerPixel() / 8)))
                        << "row " << y;
                }
            }
        }
    }
}

TEST(WarpedRowSource, RefusesWhatItCannotStreamAndPassesOnARefusedSource)
{
    const auto picture = patternBitmap(Bitmap::Layout{120, 90, 8, 3, false, false});
    BitmapRows rows(*picture);
    // A flip would need rows already passed; grey goes through OpenCV.
    EXPECT_FALSE(WarpedRowSource::create(rows, RightCorrection{0.0, -1.0, 0.0, 0.0}, 32));
    EXPECT_FALSE(WarpedRowSource::create(rows, RightCorrection{180.0, 1.0, 0.0, 0.0}, 32));
    const auto grey = patternBitmap(Bitmap::Layout{120, 90, 8, 1, false, false, ColorSpace::DeviceWhite});
    BitmapRows greyRows(*grey);
    EXPECT_FALSE(WarpedRowSource::create(greyRows, RightCorrection{1.0, 1.0, 0.0, 0.0}, 32));

    BitmapRows refusing(*picture, 50);
    const auto warped = WarpedRowSource::create(refusing, RightCorrection{2.0, 1.0, 0.0, 0.0}, 32);
    ASSERT_TRUE(warped);
    EXPECT_FALSE(readInRuns(*warped, {32}, 32));
}
