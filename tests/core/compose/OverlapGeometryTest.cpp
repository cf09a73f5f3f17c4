#include "core/compose/OverlapGeometry.h"

#include <gtest/gtest.h>

#include <random>

using namespace korvex;

namespace {

struct GeometryCase {
    const char* name;
    Size left;
    Point leftPin;
    Size right;
    Point rightPin;
    int dh;
    int dv;
    double W, H;
    int width, height;
    int ul, ur, vl, vr;
};

class OverlapGeometryCases : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(OverlapGeometryCases, MatchesTheConstruction)
{
    const GeometryCase& c = GetParam();
    const OverlapGeometry g = OverlapGeometry::compute(c.left, c.leftPin, c.right, c.rightPin, c.dh, c.dv);
    EXPECT_DOUBLE_EQ(g.W, c.W);
    EXPECT_DOUBLE_EQ(g.H, c.H);
    EXPECT_EQ(g.pixelsWide(), c.width);
    EXPECT_EQ(g.pixelsHigh(), c.height);
    EXPECT_EQ(g.ul, c.ul);
    EXPECT_EQ(g.ur, c.ur);
    EXPECT_EQ(g.vl, c.vl);
    EXPECT_EQ(g.vr, c.vr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverlapGeometryCases,
    ::testing::Values(
        GeometryCase{"centred", {640, 480}, {320, 240}, {640, 480}, {320, 240}, 0, 0, 640, 480, 640, 480, 0, 0, 0, 0},
        GeometryCase{"depth10", {640, 480}, {320, 240}, {640, 480}, {320, 240}, 10, 0, 630, 480, 630, 480, 10, 0, 0, 0},
        GeometryCase{"depthMinus10", {640, 480}, {320, 240}, {640, 480}, {320, 240}, -10, 0, 630, 480, 630, 480, 0, 10, 0, 0},
        GeometryCase{"vertical5", {640, 480}, {320, 240}, {640, 480}, {320, 240}, 0, 5, 640, 475, 640, 475, 0, 0, 5, 0},
        GeometryCase{"verticalMinus5", {640, 480}, {320, 240}, {640, 480}, {320, 240}, 0, -5, 640, 475, 640, 475, 0, 0, 0, 5},
        GeometryCase{"biggerLeft", {800, 600}, {400, 300}, {640, 480}, {320, 240}, 0, 0, 640, 480, 640, 480, 80, 0, 60, 0},
        GeometryCase{"fractionalX", {641, 480}, {320.5, 240}, {640, 480}, {100.25, 240}, 0, 0, 420.75, 480, 420, 480, 220, 0, 0, 0},
        GeometryCase{"fractionalBoth", {641, 481}, {320.5, 240.5}, {640, 480}, {320, 240}, 0, 0, 640, 480, 640, 480, 0, 0, 0, 0},
        GeometryCase{"onePixelLeft", {640, 480}, {320, 240}, {640, 480}, {320, 240}, 639, 0, 1, 480, 1, 480, 639, 0, 0, 0},
        GeometryCase{"touching", {640, 480}, {320, 240}, {640, 480}, {320, 240}, 640, 0, 0, 480, 0, 480, 0, 0, 0, 0},
        GeometryCase{"apartLeft", {640, 480}, {320, 240}, {640, 480}, {320, 240}, -700, 0, -60, 480, 0, 480, 0, 0, 0, 0},
        GeometryCase{"farApart", {640, 480}, {320, 240}, {640, 480}, {320, 240}, 2147483647, -2147483647 - 1, -2147483007.0,
                     -2147483168.0, 0, 0, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OverlapGeometry, WorkingValuesFollowThePins)
{
    // Left pin 100 from the left, 30 from the top; right pin moved by the offsets.
    const OverlapGeometry g = OverlapGeometry::compute({300, 200}, {100, 170}, {400, 100}, {250, 40}, 20, 7);
    EXPECT_DOUBLE_EQ(g.tl, 30);
    EXPECT_DOUBLE_EQ(g.tr, 53);   // 100 - 40 - 7
    EXPECT_DOUBLE_EQ(g.xr, 230);  // 250 - 20
    EXPECT_DOUBLE_EQ(g.a, 100);
    EXPECT_DOUBLE_EQ(g.b, 170);   // min(200, 170)
    EXPECT_DOUBLE_EQ(g.c, 30);
    EXPECT_DOUBLE_EQ(g.d, 47);    // min(170, 47)
    EXPECT_EQ(g.ul, 0);
    EXPECT_EQ(g.ur, 130);
    EXPECT_EQ(g.vl, 0);
    EXPECT_EQ(g.vr, 23);
    EXPECT_TRUE(g.overlaps());
}

TEST(OverlapGeometry, UsedRectangleStaysInsideBothPictures)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> side(1, 900);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> offset(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        const Size left{double(side(random)), double(side(random))};
        const Size right{double(side(random)), double(side(random))};
        const Point leftPin{unit(random) * left.width, unit(random) * left.height};
        const Point rightPin{unit(random) * right.width, unit(random) * right.height};
        const OverlapGeometry g = OverlapGeometry::compute(left, leftPin, right, rightPin, offset(random), offset(random));
        if (!g.overlaps())
            continue;
        ASSERT_GE(g.ul, 0);
        ASSERT_GE(g.ur, 0);
        ASSERT_GE(g.vl, 0);
        ASSERT_GE(g.vr, 0);
        ASSERT_TRUE(g.ul == 0 || g.ur == 0);
        ASSERT_TRUE(g.vl == 0 || g.vr == 0);
        ASSERT_LE(g.ul + g.pixelsWide(), left.width);
        ASSERT_LE(g.ur + g.pixelsWide(), right.width);
        ASSERT_LE(g.vl + g.pixelsHigh(), left.height);
        ASSERT_LE(g.vr + g.pixelsHigh(), right.height);
    }
}

}  // namespace
