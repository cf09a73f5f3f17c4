#include "core/compose/ResultComposition.h"

#include "../TestPictures.h"
#include "core/align/RightPictureResampler.h"
#include "core/compose/GlassesTypes.h"
#include "core/compose/MemoryDefaults.h"
#include "core/compose/StereoDocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace korvex;
using namespace korvex::testing;

namespace {

std::unique_ptr<Bitmap> detailed(int w, int h, int seed)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    auto bitmap = patternBitmap(layout);
    // Per-seed differences, so that left and right differ.
    for (std::size_t i = 0; i < bitmap->totalBytes(); i += 7)
        bitmap->bitmapData()[i] = std::uint8_t(bitmap->bitmapData()[i] + seed * 31);
    bitmap->setSize(Size{double(w), double(h)});
    return bitmap;
}

std::vector<std::uint8_t> rowsOf(const Bitmap& b)
{
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < b.pixelsHigh(); ++y)
        bytes.insert(bytes.end(), b.bitmapData() + b.bytesPerRow() * std::size_t(y),
                     b.bitmapData() + b.bytesPerRow() * std::size_t(y) + std::size_t(b.pixelsWide()) * 3);
    return bytes;
}

CompositionInputs inputsFor(const Bitmap& left, const Bitmap& right, AnaglyphComposer composer)
{
    CompositionInputs in;
    in.left = &left;
    in.right = &right;
    in.geometry = OverlapGeometry::compute(left.size(), {150, 300}, right.size(), {140, 290}, 3, -2);
    in.composer = composer;
    return in;
}

TEST(ResultComposition, BandsMakeExactlyTheWholeComposition)
{
    // Taller than several bands, with a part band at the bottom.
    const auto left = detailed(300, 3 * compositionBandRows + 77, 1);
    const auto right = detailed(290, 3 * compositionBandRows + 60, 2);
    const AnaglyphComposer composers[] = {AnaglyphComposer(2, true), AnaglyphComposer(1, false),
                                          AnaglyphComposer(2, true, AnaglyphMethod::Dubois)};
    for (const AnaglyphComposer& composer : composers) {
        const CompositionInputs in = inputsFor(*left, *right, composer);
        auto whole = Bitmap::createRGBCanvas(in.geometry.pixelsWide(), in.geometry.pixelsHigh());
        composer.compose(*left, *right, in.geometry, *whole);
        const ComposedResult composed = composeResultPicture(in);
        ASSERT_TRUE(composed.picture);
        EXPECT_FALSE(composed.stopped);
        EXPECT_EQ(rowsOf(*composed.picture), rowsOf(*whole));
    }
}

TEST(ResultComposition, MakesTheCorrectedRightPictureOnceAndHandsItBack)
{
    const auto left = detailed(300, 400, 1);
    const auto right = detailed(300, 400, 2);
    CompositionInputs in = inputsFor(*left, *right, AnaglyphComposer(2, true));
    in.correction = RightCorrection{0.8, 1.01, 0.25, 0};
    const ComposedResult first = composeResultPicture(in);
    ASSERT_TRUE(first.correctedRight);
    const auto expected = resampleRightPicture(*right, in.correction);
    ASSERT_EQ(rowsOf(*first.correctedRight), rowsOf(*expected));
    auto whole = Bitmap::createRGBCanvas(in.geometry.pixelsWide(), in.geometry.pixelsHigh());
    in.composer.compose(*left, *expected, in.geometry, *whole);
    EXPECT_EQ(rowsOf(*first.picture), rowsOf(*whole));
    // Given the copy, the next composition uses it and makes none.
    in.correctedRight = first.correctedRight;
    const ComposedResult second = composeResultPicture(in);
    EXPECT_FALSE(second.correctedRight);
    EXPECT_EQ(rowsOf(*second.picture), rowsOf(*whole));
}

TEST(ResultComposition, AStopRequestEndsItAndHandsBackOnlyTheMemoryItWasLent)
{
    const auto left = detailed(100, 2 * compositionBandRows, 1);
    const auto right = detailed(100, 2 * compositionBandRows, 2);
    std::stop_source stop;
    stop.request_stop();
    const CompositionInputs inputs = inputsFor(*left, *right, AnaglyphComposer(1, true));
    const ComposedResult bare = composeResultPicture(inputs, stop.get_token());
    EXPECT_TRUE(bare.stopped);
    EXPECT_FALSE(bare.picture);
    auto lent = Bitmap::createRGBCanvas(100, 2 * compositionBandRows);
    const std::uint8_t* memory = lent->bitmapData();
    const ComposedResult handedBack = composeResultPicture(inputs, stop.get_token(), std::move(lent));
    EXPECT_TRUE(handedBack.stopped);
    ASSERT_TRUE(handedBack.picture);
    EXPECT_EQ(handedBack.picture->bitmapData(), memory);
}

// The document with a scheduler: what the window does, without a window.
class RecordingScheduler : public CompositionScheduler {
public:
    StereoDocument* document = nullptr;
    int requests = 0;
    bool finishes = true;  // false: gives up, as when the work was cancelled
    void compositionRequested() override { ++requests; }
    void finishComposition() override
    {
        if (finishes)
            document->adoptComposition(composeResultPicture(document->compositionInputs()));
    }
};

class QuietHost : public DocumentHost {
public:
    bool isShiftHeld() const override { return false; }
    void setDocumentEdited(bool) override {}
    void showToolbarPicture(ToolbarItem, std::string_view) override {}
    void documentChanged() override {}
};

TEST(ResultComposition, ADocumentWithASchedulerDefersAndSavesTheCompositionOfItsPresentState)
{
    for (const bool schedulerFinishes : {true, false}) {
        PictureStore left, right, result;
        QuietHost host;
        MemoryDefaults defaults;
        StereoDocument document(left, right, result, host, defaults);
        RecordingScheduler scheduler;
        scheduler.document = &document;
        scheduler.finishes = schedulerFinishes;
        document.setCompositionScheduler(&scheduler);
        left.setImage(detailed(120, 80, 1));
        right.setImage(detailed(120, 80, 2));
        left.setPinPoint({60, 40});
        right.setPinPoint({60, 40});
        document.setResultVisible(true);

        document.incDepth();
        document.incVerticalOffset();
        EXPECT_EQ(scheduler.requests, 2);
        EXPECT_TRUE(document.resultPending());
        EXPECT_EQ(result.image(), nullptr);  // nothing composed on the spot

        const EncodeResult saved = document.dataRepresentationOfType("PNG");
        ASSERT_TRUE(saved);
        EXPECT_FALSE(document.resultPending());
        // The same bytes as a document that composes at once.
        PictureStore left2, right2, result2;
        StereoDocument direct(left2, right2, result2, host, defaults);
        left2.setImage(detailed(120, 80, 1));
        right2.setImage(detailed(120, 80, 2));
        left2.setPinPoint({60, 40});
        right2.setPinPoint({60, 40});
        direct.setAlignment(1, 1);
        EXPECT_EQ(saved.data, direct.dataRepresentationOfType("PNG").data);
    }
}

TEST(ResultComposition, ARetireHandlerKeepsAReplacedPicture)
{
    PictureStore store;
    std::vector<std::unique_ptr<Bitmap>> kept;
    store.setRetireHandler([&](std::unique_ptr<Bitmap> old) { kept.push_back(std::move(old)); });
    store.setImage(detailed(10, 10, 1));
    const Bitmap* first = store.image();
    store.setImage(detailed(10, 10, 2));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept.front().get(), first);
    store.setImageWithData(std::span<const std::uint8_t>());
    EXPECT_EQ(kept.size(), 2u);
}

}  // namespace
