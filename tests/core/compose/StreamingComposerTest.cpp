// The streamed composition from sources that give rows of a bitmap, against
// AnaglyphComposer over the whole bitmaps, and its stops.
#include "core/compose/StreamingComposer.h"

#include "../BitmapRows.h"
#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korvex;
using namespace korvex::testing;

namespace {

// Keeps the rows it gets; fails from a given band on.
class KeptRows : public RowSink {
public:
    explicit KeptRows(int failAtBand = -1) : failAtBand_(failAtBand) {}
    std::string writeRows(const Bitmap& band, int count) override
    {
        if (bands_++ == failAtBand_)
            return "disk full";
        for (int y = 0; y < count; ++y) {
            const std::uint8_t* row = band.bitmapData() + band.bytesPerRow() * std::size_t(y);
            rows.emplace_back(row, row + std::size_t(band.pixelsWide()) * 3);
        }
        return {};
    }
    std::string finish() override
    {
        finished = true;
        return {};
    }
    std::vector<std::vector<std::uint8_t>> rows;
    bool finished = false;

private:
    int failAtBand_;
    int bands_ = 0;
};

Bitmap::Layout layoutOf(int w, int h, int samples, ColorSpace space)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = samples;
    layout.hasAlpha = samples == 4;
    layout.colorSpace = space;
    return layout;
}

}  // namespace

TEST(StreamingComposer, GivesTheWholeCompositionsRowsForEveryLayoutAndOffset)
{
    struct Case {
        const char* name;
        int leftSamples, rightSamples;
        AnaglyphMethod method;
        std::int32_t vertical;
    };
    const std::vector<Case> cases = {
        {"RGB, classic, below", 3, 3, AnaglyphMethod::Classic, 41},
        {"RGBA beside RGB, dubois, above", 4, 3, AnaglyphMethod::Dubois, -70},
        {"grey beside RGB, per pixel", 1, 3, AnaglyphMethod::Classic, 5},
        {"grey pair, half colour", 1, 1, AnaglyphMethod::HalfColour, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto space = [](int samples) { return samples == 1 ? ColorSpace::CalibratedWhite : ColorSpace::CalibratedRGB; };
        const auto left = patternBitmap(layoutOf(77, 133, c.leftSamples, space(c.leftSamples)));
        const auto right = patternBitmap(layoutOf(70, 121, c.rightSamples, space(c.rightSamples)));
        const OverlapGeometry g = OverlapGeometry::compute(Size{77, 133}, Point{38.5, 66.5}, Size{70, 121},
                                                           Point{35, 60.5}, 3, c.vertical);
        ASSERT_TRUE(g.overlaps());
        const AnaglyphComposer composer(2, true, c.method);
        auto whole = Bitmap::createRGBCanvas(g.pixelsWide(), g.pixelsHigh());
        composer.compose(*left, *right, g, *whole);

        BitmapRows leftRows(*left), rightRows(*right);
        KeptRows sink;
        const StreamingComposer::Outcome outcome = StreamingComposer(composer).compose(leftRows, rightRows, g, sink);
        EXPECT_EQ(outcome.stop, StreamingComposer::Stop::None);
        EXPECT_TRUE(sink.finished);
        // Every source row is read, those past the overlap too.
        EXPECT_EQ(leftRows.rowsRead(), 133);
        EXPECT_EQ(rightRows.rowsRead(), 121);
        ASSERT_EQ(int(sink.rows.size()), g.pixelsHigh());
        for (int y = 0; y < g.pixelsHigh(); ++y) {
            const std::uint8_t* expected = whole->bitmapData() + whole->bytesPerRow() * std::size_t(y);
            ASSERT_EQ(sink.rows[std::size_t(y)], std::vector<std::uint8_t>(expected, expected + g.pixelsWide() * 3))
                << "row " << y;
        }
    }
}

TEST(StreamingComposer, StopsWithoutFinishingWhenASourceIsRefusedOrTheSinkFails)
{
    const auto picture = patternBitmap(layoutOf(50, 300, 3, ColorSpace::CalibratedRGB));
    const OverlapGeometry g = OverlapGeometry::compute(Size{50, 300}, Point{25, 150}, Size{50, 300}, Point{25, 150}, 0, 0);
    const AnaglyphComposer composer(2, true);
    struct Case {
        const char* name;
        int leftRefusesAt, rightRefusesAt, sinkFailsAt;
        StreamingComposer::Stop stop;
    };
    const std::vector<Case> cases = {
        {"left at once", 0, -1, -1, StreamingComposer::Stop::LeftRefused},
        {"right in the middle", -1, 150, -1, StreamingComposer::Stop::RightRefused},
        {"sink at the third band", -1, -1, 2, StreamingComposer::Stop::Sink},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BitmapRows left(*picture, c.leftRefusesAt), right(*picture, c.rightRefusesAt);
        KeptRows sink(c.sinkFailsAt);
        const StreamingComposer::Outcome outcome = StreamingComposer(composer).compose(left, right, g, sink);
        EXPECT_EQ(outcome.stop, c.stop);
        EXPECT_FALSE(sink.finished);
        EXPECT_LT(int(sink.rows.size()), 300);
        if (c.stop == StreamingComposer::Stop::Sink) {
            EXPECT_EQ(outcome.error, "disk full");
        }
        // The other source is still read to its end, so that its verdict is on the whole file.
        if (c.stop == StreamingComposer::Stop::LeftRefused) {
            EXPECT_EQ(right.rowsRead(), 300);
        }
        if (c.stop == StreamingComposer::Stop::RightRefused) {
            EXPECT_EQ(left.rowsRead(), 300);
        }
    }
}
