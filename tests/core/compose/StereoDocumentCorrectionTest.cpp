#include "core/compose/StereoDocument.h"

#include "../TestPictures.h"
#include "core/align/RightPictureResampler.h"
#include "core/compose/MemoryDefaults.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korvex;
using namespace korvex::testing;

namespace {

class ShiftHost : public DocumentHost {
public:
    bool shift = false;
    int changes = 0;
    bool isShiftHeld() const override { return shift; }
    void setDocumentEdited(bool) override {}
    void showToolbarPicture(ToolbarItem, std::string_view) override {}
    void documentChanged() override { ++changes; }
};

// A picture with detail everywhere, so that any turn or shift shows.
std::unique_ptr<Bitmap> detailed(int w, int h, int seed)
{
    auto bitmap = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                bitmap->bitmapData()[std::size_t(y) * bitmap->bytesPerRow() + 3 * x + c] =
                    std::uint8_t((x * 7 + y * 13 + c * 50 + seed) * (x + seed) % 251);
    bitmap->setSize(Size{double(w), double(h)});
    return bitmap;
}

std::vector<std::uint8_t> bytesOf(const Bitmap& bitmap)
{
    return {bitmap.bitmapData(), bitmap.bitmapData() + bitmap.totalBytes()};
}

class StereoDocumentCorrectionTest : public ::testing::Test {
protected:
    StereoDocumentCorrectionTest() : document(left, right, result, host, defaults)
    {
        left.setType(LeftRole);
        right.setType(RightRole);
        load(left, 1);
        load(right, 2);
        document.setUpFromDefaults();
    }

    static void load(PictureStore& view, int seed)
    {
        view.setImage(detailed(64, 48, seed));
        view.setPinPoint({32, 24});
    }

    std::vector<std::uint8_t> composed()
    {
        document.setChanged(true);
        document.recalc();
        return bytesOf(*result.image());
    }

    PictureStore left, right, result;
    ShiftHost host;
    MemoryDefaults defaults;
    StereoDocument document;
};

TEST_F(StereoDocumentCorrectionTest, ComposesTheCorrectedRightPictureAndClearsExactly)
{
    const std::vector<std::uint8_t> plain = composed();
    const RightCorrection turn{1.5, 1.01, 0.25, -0.5};
    document.setRightCorrection(turn);
    const std::vector<std::uint8_t> corrected = composed();
    EXPECT_NE(corrected, plain);

    // The same as composing an already resampled right picture.
    PictureStore resampledRight;
    resampledRight.setImage(resampleRightPicture(*right.image(), turn));
    resampledRight.setPinPoint(right.pinPoint());
    PictureStore otherResult;
    StereoDocument reference(left, resampledRight, otherResult, host, defaults);
    reference.setUpFromDefaults();
    reference.setChanged(true);
    reference.recalc();
    EXPECT_EQ(corrected, bytesOf(*otherResult.image()));

    document.clearCorrection();
    EXPECT_TRUE(document.rightCorrection().isIdentity());
    EXPECT_EQ(composed(), plain);
}

// The other stereo formats take their right eye from the same corrected copy.
TEST_F(StereoDocumentCorrectionTest, SideBySideShowsTheCorrectedRightPicture)
{
    document.setResultFormat(StereoFormat::SideBySide);
    const RightCorrection turn{-3.0, 1.0, 0.0, 0.0};
    document.setRightCorrection(turn);
    const std::vector<std::uint8_t> frame = composed();
    const Bitmap& out = *result.image();
    const auto expected = resampleRightPicture(*right.image(), turn);
    for (int y = 0; y < 48; ++y)
        ASSERT_EQ(0, std::memcmp(out.bitmapData() + std::size_t(y) * out.bytesPerRow() + 64 * 3,
                                 expected->bitmapData() + std::size_t(y) * expected->bytesPerRow(), 64 * 3))
            << "row " << y;
}

TEST_F(StereoDocumentCorrectionTest, RotatesByTenthsOrWholeDegreesWithShift)
{
    struct Step {
        bool shift;
        bool clockwise;
        double expected;
    };
    const Step steps[] = {{false, true, 0.1}, {false, true, 0.2}, {false, true, 0.3}, {true, false, -0.7},
                          {false, false, -0.8}, {true, true, 0.2}};
    for (const Step& step : steps) {
        host.shift = step.shift;
        step.clockwise ? document.rotateRightClockwise() : document.rotateRightCounterclockwise();
        EXPECT_EQ(document.rightCorrection().rotationDegrees, step.expected);
    }
    EXPECT_EQ(host.changes, 6);
}

TEST_F(StereoDocumentCorrectionTest, MakesANewCopyWhenTheRightPictureIsReplaced)
{
    document.setRightCorrection(RightCorrection{2.0, 1.0, 0.0, 0.0});
    const std::vector<std::uint8_t> first = composed();
    load(right, 7);
    const std::vector<std::uint8_t> afterReload = composed();
    EXPECT_NE(afterReload, first);
    EXPECT_EQ(bytesOf(*document.composedRightPicture()),
              bytesOf(*resampleRightPicture(*right.image(), document.rightCorrection())));
    document.switchPictures();
    EXPECT_EQ(bytesOf(*document.composedRightPicture()),
              bytesOf(*resampleRightPicture(*right.image(), document.rightCorrection())));
}

// A copy made on another thread is taken only for its picture and correction.
TEST_F(StereoDocumentCorrectionTest, AdoptsACopyMadeElsewhereOnlyWhileItFits)
{
    // The offered copies are black, which no resampling of the picture is.
    const std::vector<std::uint8_t> black = bytesOf(*solidCanvas(64, 48, 0, 0, 0));
    const RightCorrection turn{1.0, 1.0, 0.0, 0.0};
    for (const bool sameGeneration : {false, true}) {
        SCOPED_TRACE(sameGeneration);
        document.adoptCorrectedRightPicture(turn, right.generation() + (sameGeneration ? 0 : 1),
                                            solidCanvas(64, 48, 0, 0, 0));
        document.setRightCorrection(turn);
        EXPECT_EQ(bytesOf(*document.composedRightPicture()) == black, sameGeneration);
        document.clearCorrection();
        document.composedRightPicture();
    }
    // Offered for another correction, it is not used for this one.
    document.adoptCorrectedRightPicture(turn, right.generation(), solidCanvas(64, 48, 0, 0, 0));
    document.setRightCorrection(RightCorrection{2.0, 1.0, 0.0, 0.0});
    EXPECT_EQ(bytesOf(*document.composedRightPicture()),
              bytesOf(*resampleRightPicture(*right.image(), document.rightCorrection())));
}

TEST_F(StereoDocumentCorrectionTest, PlacementIsOneCommandAndRestoresEverything)
{
    const PairPlacement before = document.placement();
    PairPlacement after{{10, 11}, {20, 21}, 5, -3, RightCorrection{0.5, 0.99, 0.1, 0.2}};
    document.setPlacement(after);
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(document.placement(), after);
    EXPECT_EQ(document.horizontalOffset(), 5);
    EXPECT_EQ(document.verticalOffset(), -3);
    document.setPlacement(after);
    EXPECT_EQ(host.changes, 1);  // nothing changed, nothing to tell
    document.setPlacement(before);
    EXPECT_EQ(document.placement(), before);
    EXPECT_EQ(host.changes, 2);
}

// The matrix the tool reports, checked against the composition itself: a
// dot in the right picture and a dot where the matrix says it goes in the left
// one end in the same result pixel.
TEST_F(StereoDocumentCorrectionTest, RightToLeftNamesWhereTheCompositionLaysAPixel)
{
    struct Case {
        double leftPinX, rightPinX;
        std::int32_t depth, vertical;
        int rightX;  // a column whose pixel lands inside the left picture
    };
    const Case cases[] = {{32, 32, 0, 0, 30}, {32, 32, 3, -2, 30}, {31.5, 32, 0, 0, 30}, {10, 50, -4, 7, 60},
                          {32.5, 12.5, 1, 1, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.leftPinX << " " << c.rightPinX << " " << c.depth << " " << c.vertical);
        const PairPlacement p{{c.leftPinX, 24}, {c.rightPinX, 24}, c.depth, c.vertical, {}};
        const auto map = p.rightToLeft({64, 48}, {64, 48});
        ASSERT_TRUE(map);
        const int rightX = c.rightX, rightY = 20;
        const int leftX = int(map->mapX(rightX, rightY)), leftY = int(map->mapY(rightX, rightY));
        ASSERT_TRUE(leftX >= 0 && leftX < 64 && leftY >= 0 && leftY < 48);
        auto leftDot = solidCanvas(64, 48, 0, 0, 0);
        auto rightDot = solidCanvas(64, 48, 0, 0, 0);
        leftDot->setColor(Color::rgb(1, 1, 1), leftX, leftY);
        rightDot->setColor(Color::rgb(1, 1, 1), rightX, rightY);
        left.setImage(std::move(leftDot));
        right.setImage(std::move(rightDot));
        document.setPlacement(p);
        composed();
        // Red glasses on the left eye: red shows the left dot, green the right one.
        const Bitmap& out = *result.image();
        int found = 0;
        for (int y = 0; y < out.pixelsHigh(); ++y)
            for (int x = 0; x < out.pixelsWide(); ++x) {
                const Color colour = out.colorAt(x, y);
                if (colour.red > 0.5 || colour.green > 0.5) {
                    EXPECT_GT(colour.red, 0.5);
                    EXPECT_GT(colour.green, 0.5);
                    ++found;
                }
            }
        EXPECT_EQ(found, 1);
    }
}

}  // namespace
