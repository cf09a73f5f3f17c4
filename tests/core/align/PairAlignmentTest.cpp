#include "core/align/PairAlignment.h"

#include "WarpedPairs.h"
#include "../TestPictures.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/bitmap/ReducedJpeg.h"
#include "core/compose/PairPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

using namespace korvex;
using namespace korvex::testing;

namespace {

struct KnownWarp {
    double degrees, scale, shiftY;
};

class WarpedPairTest : public ::testing::TestWithParam<KnownWarp> {};

// Median over a grid of right pixels of |row the placement lays it on - true row|.
double medianRowError(const AffineMatrix& rightToLeft, const TrueMap& truth, int w, int h)
{
    std::vector<double> errors;
    for (int y = 0; y < h; y += 16)
        for (int x = 0; x < w; x += 16)
            errors.push_back(std::abs(rightToLeft.mapY(x, y) - truth.y(x, y)));
    std::nth_element(errors.begin(), errors.begin() + errors.size() / 2, errors.end());
    return errors[errors.size() / 2];
}

TEST_P(WarpedPairTest, RecoversTheRotationScaleAndRows)
{
    const KnownWarp warp = GetParam();
    const auto left = samplePicture("aloeL.jpg");
    ASSERT_TRUE(left);
    // A horizontal shift too: it is depth and must not leak into the rotation.
    TrueMap truth{warp.degrees, warp.scale, 23.0, warp.shiftY};
    const auto right = warpedRight(*left, truth);

    const PairAlignment found = PairAlignment::find(*left, *right);
    ASSERT_TRUE(found.aligned) << found.failure;
    EXPECT_NEAR(found.rotationDegrees, warp.degrees, 0.05);
    EXPECT_NEAR(found.scale, warp.scale, 0.001);
    EXPECT_LE(found.residual, 0.5);
    EXPECT_GE(found.inliers, PairAlignment::minimumInliers);
    EXPECT_LE(found.inliers, found.matches);

    const Size size{double(left->pixelsWide()), double(left->pixelsHigh())};
    const PlacedAlignment placed = placeAlignment(found, 0.0, size, size, 0);
    const auto map = placed.placement.rightToLeft(size, size);
    ASSERT_TRUE(map);
    EXPECT_LE(medianRowError(*map, truth, left->pixelsWide(), left->pixelsHigh()), 0.5);
    // One flat scene: every point has the same parallax, so the window puts
    // the right picture where it came from, columns too, give or take the
    // spread of the matched positions at the 98th percentile.
    EXPECT_NEAR(map->mapX(640, 555), truth.x(640, 555), 3.0);
    EXPECT_NEAR(placed.nearestParallax, 0.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(KnownTransforms, WarpedPairTest,
                         ::testing::Values(KnownWarp{0.0, 1.0, 0.0}, KnownWarp{5.0, 1.0, 0.0},
                                           KnownWarp{-5.0, 1.0, 0.0}, KnownWarp{1.7, 0.97, 40.0},
                                           KnownWarp{-2.3, 1.03, -40.0}, KnownWarp{0.4, 1.012, 12.5},
                                           KnownWarp{-0.15, 0.985, -7.25}));

// A pair too large to be studied at its size, aligned from its JPEG files
// decoded reduced (here by half): as accurate, in the large picture's pixels,
// as the table above at twice the size.
TEST(PairAlignmentReducedDecodes, RecoverTheRotationScaleAndRowsOfALargePair)
{
    const auto sample = samplePicture("aloeL.jpg");
    ASSERT_TRUE(sample);
    const auto left = enlarged(*sample, 2);
    const std::string folder = ::testing::TempDir();
    const std::string leftPath = folder + "/reduced-align-left.jpg", rightPath = folder + "/reduced-align-right.jpg";
    auto save = [](const Bitmap& picture, const std::string& path) {
        const std::vector<std::uint8_t> bytes = representationUsingType(picture, FileType::JPEG, {0.92f, {}}).data;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    };
    save(*left, leftPath);
    const ReducedJpeg reducedLeft = ReducedJpeg::decode(leftPath, PairAlignment::studiedSide);
    ASSERT_TRUE(reducedLeft.bitmap);
    EXPECT_EQ(reducedLeft.bitmap->pixelsWide(), sample->pixelsWide());
    EXPECT_EQ(reducedLeft.storedWide, left->pixelsWide());
    for (const KnownWarp warp : {KnownWarp{0.0, 1.0, 0.0}, KnownWarp{1.7, 0.97, 80.0}, KnownWarp{-2.3, 1.03, -80.0},
                                 KnownWarp{-0.15, 0.985, -14.5}}) {
        SCOPED_TRACE(warp.degrees);
        TrueMap truth{warp.degrees, warp.scale, 46.0, warp.shiftY};
        save(*warpedRight(*left, truth), rightPath);
        const ReducedJpeg reducedRight = ReducedJpeg::decode(rightPath, PairAlignment::studiedSide);
        ASSERT_TRUE(reducedRight.bitmap);
        const PairAlignment found = PairAlignment::find(
            {*reducedLeft.bitmap, reducedLeft.storedWide, reducedLeft.storedHigh},
            {*reducedRight.bitmap, reducedRight.storedWide, reducedRight.storedHigh});
        ASSERT_TRUE(found.aligned) << found.failure;
        EXPECT_NEAR(found.rotationDegrees, warp.degrees, 0.05);
        EXPECT_NEAR(found.scale, warp.scale, 0.001);
        EXPECT_LE(found.residual, 1.0);
        const Size size{double(left->pixelsWide()), double(left->pixelsHigh())};
        const auto map = placeAlignment(found, 0.0, size, size, 0).placement.rightToLeft(size, size);
        ASSERT_TRUE(map);
        EXPECT_LE(medianRowError(*map, truth, left->pixelsWide(), left->pixelsHigh()), 1.0);
    }
    std::remove(leftPath.c_str());
    std::remove(rightPath.c_str());
}

struct Refusal {
    const char* name;
    std::unique_ptr<Bitmap> (*left)();
    std::unique_ptr<Bitmap> (*right)();
    const char* reason;
};

std::unique_ptr<Bitmap> aloe()
{
    return samplePicture("aloeL.jpg");
}

std::unique_ptr<Bitmap> turnedAloe()
{
    const auto left = aloe();
    TrueMap map{25.0, 1.0, 0.0, 0.0};
    return warpedRight(*left, map);
}

std::unique_ptr<Bitmap> flat()
{
    return solidCanvas(800, 600, 0.4, 0.5, 0.6);
}

std::unique_ptr<Bitmap> tiny()
{
    return solidCanvas(31, 400, 0.4, 0.5, 0.6);
}

std::unique_ptr<Bitmap> otherScene()
{
    return samplePicture("motorcycle_left.png");
}

TEST(PairAlignmentRefusal, ChangesNothingAndSaysWhy)
{
    const Refusal cases[] = {
        {"no texture", flat, flat, "could not align: only 0 points in common"},
        {"one side without texture", aloe, flat, "could not align: only 0 points in common"},
        {"too small", tiny, aloe, "could not align: the pictures must be at least 32 pixels on each side"},
        {"no common content", aloe, otherScene, "could not align: only "},
        {"turned too far", aloe, turnedAloe, "could not align: the pictures are turned by more than 15°"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        const auto left = c.left();
        const auto right = c.right();
        const PairAlignment found = PairAlignment::find(*left, *right);
        EXPECT_FALSE(found.aligned);
        EXPECT_EQ(found.failure.rfind(c.reason, 0), 0u) << found.failure;
    }
}

TEST(PairAlignmentRefusal, GivesUpWhenStopped)
{
    const auto left = aloe();
    std::stop_source stop;
    stop.request_stop();
    const PairAlignment found = PairAlignment::find(*left, *left, stop.get_token());
    EXPECT_FALSE(found.aligned);
    EXPECT_EQ(found.failure, "could not align: cancelled");
}

// The bundled pair is already rectified: no rotation to speak of, and the
// window lands at the nearest leaf with the rest behind it.
TEST(PairAlignmentRealPair, FindsNoRotationAndPutsTheWindowInFront)
{
    const auto left = samplePicture("aloeL.jpg");
    const auto right = samplePicture("aloeR.jpg");
    const PairAlignment found = PairAlignment::find(*left, *right);
    ASSERT_TRUE(found.aligned) << found.failure;
    EXPECT_NEAR(found.rotationDegrees, 0.0, 0.2);
    EXPECT_NEAR(found.scale, 1.0, 0.005);
    EXPECT_LE(found.residual, 0.75);
    EXPECT_GT(found.crossedNearest, found.crossedFarthest);

    const Size size{double(left->pixelsWide()), double(left->pixelsHigh())};
    const PlacedAlignment placed = placeAlignment(found, 0.0, size, size, 0);
    EXPECT_NEAR(placed.nearestParallax, 0.0, 1e-9);
    EXPECT_GT(placed.farthestParallax, 0.0);
    EXPECT_LT(placed.farthestParallax, 0.1 * size.width);
}

}  // namespace
