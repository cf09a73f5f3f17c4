#include "gui/imageview/ViewGeometry.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(ViewGeometryTest, FrameCoversViewportAndZoomedPicture)
{
    const QSize viewport(600, 500);
    EXPECT_EQ(ViewGeometry::frameSize(viewport, {400, 300}, 100), QSize(600, 500));
    EXPECT_EQ(ViewGeometry::frameSize(viewport, {400, 300}, 200), QSize(800, 600));
    EXPECT_EQ(ViewGeometry::frameSize(viewport, {400, 300}, 800), QSize(3200, 2400));
    EXPECT_EQ(ViewGeometry::frameSize(viewport, {1000, 300}, 100), QSize(1000, 500));
    // Fractional zoomed sizes round up so the last column still shows.
    EXPECT_EQ(ViewGeometry::frameSize({10, 10}, {641, 481}, 25), QSize(161, 121));
    EXPECT_EQ(ViewGeometry::frameSize({10, 10}, {1000, 1000}, 10), QSize(100, 100));
    // No zoom view or a broken level reads as 100 %.
    EXPECT_EQ(ViewGeometry::frameSize({10, 10}, {400, 300}, 0), QSize(400, 300));
    EXPECT_EQ(ViewGeometry::frameSize({10, 10}, {400, 300}, -50), QSize(400, 300));
    EXPECT_EQ(ViewGeometry::zoomFactor(0), 1.0);
    EXPECT_EQ(ViewGeometry::frameSize(viewport, {}, 400), viewport);
}

TEST(ViewGeometryTest, MarginsCentreASmallPictureInPictureUnits)
{
    EXPECT_EQ(ViewGeometry(QSize(600, 500), {400, 300}, 100).margins(), QPointF(100, 100));
    EXPECT_EQ(ViewGeometry(QSize(600, 500), {400, 300}, 50).margins(), QPointF(400, 350));
    EXPECT_EQ(ViewGeometry(QSize(800, 600), {400, 300}, 200).margins(), QPointF(0, 0));
    EXPECT_EQ(ViewGeometry(QSize(600, 500), {400, 300}, 100).pictureRect(), QRectF(100, 100, 400, 300));
    EXPECT_EQ(ViewGeometry(QSize(600, 500), {400, 300}, 50).pictureRect(), QRectF(200, 175, 200, 150));
}

struct ClickCase {
    const char* name;
    QSize viewport;
    Size picture;
    int zoom;
    QPoint scroll;         // scroll bar values, in widget pixels
    QPointF inViewport;    // the click, from the viewport's top-left
    Point expected;        // unclamped picture position
};

class ViewGeometryClickTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(ViewGeometryClickTest, MapsTheClickAndBack)
{
    const ClickCase& c = GetParam();
    const ViewGeometry g(ViewGeometry::frameSize(c.viewport, c.picture, c.zoom), c.picture, c.zoom);
    const QPointF widget = c.inViewport + QPointF(c.scroll);
    const Point p = g.mapToPicture(widget);
    EXPECT_NEAR(p.x, c.expected.x, 1e-9);
    EXPECT_NEAR(p.y, c.expected.y, 1e-9);
    const QPointF back = g.mapToWidget(p);
    EXPECT_NEAR(back.x(), widget.x(), 1e-9);
    EXPECT_NEAR(back.y(), widget.y(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ViewGeometryClickTest,
    ::testing::Values(
        ClickCase{"centre100", {600, 500}, {400, 300}, 100, {0, 0}, {300, 250}, {200, 150}},
        // 200 %, the visible area's lower-left corner at picture (50, 40).
        ClickCase{"scrolled200", {600, 500}, {400, 300}, 200, {100, 20}, {100, 400}, {100, 90}},
        ClickCase{"margin100", {600, 500}, {400, 300}, 100, {0, 0}, {50, 450}, {-50, -50}},
        ClickCase{"centre50", {600, 500}, {400, 300}, 50, {0, 0}, {300, 250}, {200, 150}},
        ClickCase{"topLeft800", {600, 500}, {400, 300}, 800, {0, 0}, {0, 0}, {0, 300}},
        ClickCase{"scrolled800", {600, 500}, {400, 300}, 800, {1600, 1200}, {4, 12}, {200.5, 148.5}},
        ClickCase{"odd25", {100, 100}, {641, 481}, 25, {20, 10}, {8, 4}, {110.5, 426.5}},
        ClickCase{"noZoomView", {600, 500}, {400, 300}, 0, {0, 0}, {300, 250}, {200, 150}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each outline as (arm, half-thickness) read back from its horizontal bar.
std::vector<std::pair<float, float>> bands(const ViewGeometry& g, Point pin, bool black)
{
    std::vector<std::pair<float, float>> out;
    const auto outlines = g.pinMark(pin);
    for (std::size_t i = 0; i < outlines.size(); i += 2) {
        if (outlines[i].black == black)
            out.push_back({float((outlines[i].rect.width() - 1) / 2), float((outlines[i].rect.height() - 1) / 2)});
    }
    return out;
}

TEST(ViewGeometryTest, PinMarkOutlines)
{
    using Bands = std::vector<std::pair<float, float>>;
    const ViewGeometry at100(QSize(600, 500), {400, 300}, 100);
    EXPECT_EQ(bands(at100, {200, 150}, false), (Bands{{9, 1}, {10, 2}, {11, 3}}));
    EXPECT_EQ(bands(at100, {200, 150}, true), (Bands{{10, 2}}));
    const auto outlines = at100.pinMark({200, 150});
    // White first, then black; each cross is a horizontal then a vertical bar
    // around the pin, margins included.
    EXPECT_FALSE(outlines.front().black);
    EXPECT_TRUE(outlines.back().black);
    EXPECT_EQ(outlines[0].rect, QRectF(291, 249, 19, 3));
    EXPECT_EQ(outlines[1].rect, QRectF(299, 241, 3, 19));

    const ViewGeometry at50(QSize(600, 500), {400, 300}, 50);
    EXPECT_EQ(bands(at50, {0, 0}, false), (Bands{{18, 2}, {19, 3}, {20, 4}, {21, 5}}));
    EXPECT_EQ(bands(at50, {0, 0}, true), (Bands{{20, 4}, {21, 5}}));

    // Above 100 % the mark keeps its picture-unit size.
    const ViewGeometry at400(QSize(1600, 1200), {400, 300}, 400);
    EXPECT_EQ(bands(at400, {200, 150}, false), bands(at100, {200, 150}, false));
    EXPECT_EQ(at400.pinMark({200, 150}).back().rect, QRectF(198, 140, 5, 21));

    // 1 / 0.1f is a hair below 10, so 12 white and 10 black outlines.
    const ViewGeometry at10(QSize(600, 500), {400, 300}, 10);
    EXPECT_EQ(bands(at10, {0, 0}, false).size(), 12u);
    EXPECT_EQ(bands(at10, {0, 0}, true).size(), 10u);
}

TEST(ViewGeometryTest, PageRectFromPaperMarginsAndScale)
{
    const QSizeF letter(612, 792);
    const QMarginsF inch(36, 36, 36, 36);
    EXPECT_EQ(ViewGeometry::pageRect(letter, inch, 1.0f), QRectF(0, 0, 540, 720));
    EXPECT_EQ(ViewGeometry::pageRect(letter, inch, 0.5f), QRectF(0, 0, 1080, 1440));
    EXPECT_EQ(ViewGeometry::pageRect(letter, QMarginsF(10, 20, 30, 40), 1.0f), QRectF(0, 0, 572, 732));
    // Narrowed to single precision, in width and height alike.
    EXPECT_EQ(ViewGeometry::pageRect({100, 100}, {}, 3.0f), QRectF(0, 0, float(100.0 / 3.0), float(100.0 / 3.0)));
    // A broken scale must not divide by zero.
    EXPECT_EQ(ViewGeometry::pageRect(letter, inch, 0.0f), QRectF(0, 0, 540, 720));
}

TEST(ViewGeometryTest, PrintPlacementShrinksAndCentres)
{
    const QRectF page(0, 0, 540, 720);
    EXPECT_EQ(ViewGeometry::printPlacement({4000, 2000}, page), QRectF(0, 225, 540, 270));
    EXPECT_EQ(ViewGeometry::printPlacement({4000, 2000}, QRectF(0, 0, 1080, 1440)), QRectF(0, 450, 1080, 540));
    // Never enlarged.
    EXPECT_EQ(ViewGeometry::printPlacement({300, 200}, page), QRectF(120, 260, 300, 200));
    // Tall pictures are fitted by height.
    EXPECT_EQ(ViewGeometry::printPlacement({1000, 4000}, page), QRectF(180, 0, 180, 720));

    // The ratio is carried in single precision.
    const QRectF r = ViewGeometry::printPlacement({4000, 3000}, page);
    EXPECT_EQ(r.width(), 540.0);
    EXPECT_NEAR(r.height(), 404.99999, 1e-4);
    EXPECT_NE(r.height(), 405.0);
    EXPECT_NEAR(r.y(), 157.500006, 1e-5);
    EXPECT_NE(r.y(), 157.5);

    EXPECT_TRUE(ViewGeometry::printPlacement({}, page).isEmpty());
}

}  // namespace
}  // namespace korvex
