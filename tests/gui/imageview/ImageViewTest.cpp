#include "GuiTestSupport.h"

#include "gui/imageview/ImageView.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace korvex {
namespace {

class ImageViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = new ImageView;
        scroll.setWidget(view);
        view->setType(LeftRole);
        test::setViewport(scroll, {600, 500});
    }

    // A click at a point of the visible area, wherever the view is scrolled.
    void clickInViewport(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(view, button, {}, p - view->pos());
    }

    QColor pixelAt(QPoint widgetPos) { return view->grab(QRect(widgetPos, QSize(1, 1))).toImage().pixelColor(0, 0); }

    ZoomScrollView scroll;
    ImageView* view = nullptr;
};

TEST_F(ImageViewTest, FrameFollowsZoomAndViewport)
{
    EXPECT_EQ(view->zoomView(), &scroll);
    EXPECT_EQ(view->size(), QSize(600, 500));
    view->setImage(test::patternPicture(400, 300));
    EXPECT_EQ(view->size(), QSize(600, 500));

    bool zoomingSeen = false;
    QObject::connect(&scroll, &ZoomScrollView::zoomWillChange, [&] { zoomingSeen = view->isZooming(); });
    test::chooseZoom(scroll, 200);
    EXPECT_TRUE(zoomingSeen);
    EXPECT_FALSE(view->isZooming());
    EXPECT_EQ(view->size(), QSize(800, 600));
    test::chooseZoom(scroll, 800);
    EXPECT_EQ(view->size(), QSize(3200, 2400));
    test::chooseZoom(scroll, 10);
    EXPECT_EQ(view->size(), QSize(600, 500));

    test::setViewport(scroll, {900, 700});
    EXPECT_EQ(view->size(), QSize(900, 700));
    test::chooseZoom(scroll, 200);
    EXPECT_EQ(view->size(), QSize(900, 700));
    test::setViewport(scroll, {500, 400});
    EXPECT_EQ(view->size(), QSize(800, 600));

    // An empty view fills the visible area.
    view->imageAndDetach();
    view->adjustFrame();
    EXPECT_EQ(view->size(), QSize(500, 400));
}

TEST_F(ImageViewTest, NewFrameShowsTopLeftUnlessScrolledDown)
{
    view->setImage(test::patternPicture(400, 300));
    test::chooseZoom(scroll, 800);
    test::scrollTo(scroll, 700, 0);
    view->setImage(test::patternPicture(500, 400));
    EXPECT_EQ(scroll.horizontalScrollBar()->value(), 0);

    test::scrollTo(scroll, 700, 900);
    view->setImage(test::patternPicture(400, 300));
    EXPECT_EQ(scroll.horizontalScrollBar()->value(), 700);
    EXPECT_EQ(scroll.verticalScrollBar()->value(), 900);
}

TEST_F(ImageViewTest, ClickPinsThePictureUnitUnderTheMouse)
{
    view->setImage(test::patternPicture(400, 300));
    QSignalSpy pinned(view, &ImageView::pinHasChanged);

    clickInViewport({300, 250});
    EXPECT_EQ(view->pinPoint(), (Point{200, 150}));
    EXPECT_EQ(pinned.count(), 1);
    // The picture's pixel (50, 20 from the top) is the one under the mouse.
    EXPECT_EQ(pixelAt({150, 120}), QColor(50, 20, 77));
    clickInViewport({150, 120});
    EXPECT_EQ(view->pinPoint(), (Point{50, 280}));
    // A click in the margin is clamped onto the picture's corner.
    clickInViewport({50, 450});
    EXPECT_EQ(view->pinPoint(), (Point{0, 0}));

    test::chooseZoom(scroll, 200);
    test::scrollTo(scroll, 100, 20);
    clickInViewport({100, 400});
    EXPECT_EQ(view->pinPoint(), (Point{100, 90}));

    test::chooseZoom(scroll, 800);
    test::scrollTo(scroll, 1600, 1200);
    EXPECT_EQ(pixelAt(QPoint(1604, 1212)), QColor(200, 151, 77));
    clickInViewport({4, 12});
    EXPECT_EQ(view->pinPoint(), (Point{200.5, 148.5}));

    test::chooseZoom(scroll, 50);
    clickInViewport({300, 250});
    EXPECT_EQ(view->pinPoint(), (Point{200, 150}));
    EXPECT_EQ(pinned.count(), 6);

    // Only the left button sets the pin.
    clickInViewport({10, 10}, Qt::RightButton);
    EXPECT_EQ(view->pinPoint(), (Point{200, 150}));
    EXPECT_EQ(pinned.count(), 6);
}

TEST_F(ImageViewTest, ResultViewIgnoresClicks)
{
    view->setType(ResultRole);
    view->setImage(test::patternPicture(400, 300));
    view->setPinPoint({10, 10});
    QSignalSpy pinned(view, &ImageView::pinHasChanged);
    clickInViewport({300, 250});
    EXPECT_EQ(view->pinPoint(), (Point{10, 10}));
    EXPECT_EQ(pinned.count(), 0);
}

TEST(ImageViewStandaloneTest, WithoutZoomViewTheZoomIsHundred)
{
    QWidget parent;
    parent.resize(600, 500);
    auto* view = new ImageView(&parent);
    view->setType(RightRole);
    view->setImage(test::patternPicture(400, 300));
    EXPECT_EQ(view->zoomView(), nullptr);
    EXPECT_EQ(view->zoomLevel(), 100);
    EXPECT_EQ(view->size(), QSize(600, 500));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(300, 250));
    EXPECT_EQ(view->pinPoint(), (Point{200, 150}));
    EXPECT_FALSE(view->grab().isNull());
}

// The column x = 295 through the pin mark's left arm, rows 245 to 253.
std::vector<QColor> armColumn(ImageView* view)
{
    const QImage strip = view->grab(QRect(295, 245, 1, 9)).toImage();
    std::vector<QColor> out;
    for (int y = 0; y < strip.height(); ++y)
        out.push_back(strip.pixelColor(0, y));
    return out;
}

int countBlack(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == QColor(Qt::black);
    return n;
}

TEST_F(ImageViewTest, PinMarkOnSourceViewsOnly)
{
    // Nothing loaded yet: no pin, nothing but white.
    const QImage empty = view->grab().toImage();
    EXPECT_EQ(countBlack(empty), 0);
    EXPECT_EQ(empty.pixelColor(300, 250), QColor(Qt::white));

    view->setImage(test::patternPicture(400, 300));
    view->setPinPoint({200, 150});
    const QColor w(Qt::white), b(Qt::black);
    auto column = armColumn(view);
    ASSERT_EQ(column.size(), 9u);
    // Picture, then white, black, white outlines above and below the arm.
    EXPECT_EQ(column[0], QColor(195, 145, 77));
    EXPECT_EQ((std::vector<QColor>(column.begin() + 1, column.begin() + 4)), (std::vector<QColor>{w, b, w}));
    EXPECT_EQ(column[4], QColor(195, 149, 77));
    EXPECT_EQ((std::vector<QColor>(column.begin() + 5, column.begin() + 8)), (std::vector<QColor>{w, b, w}));

    view->setType(ResultRole);
    column = armColumn(view);
    EXPECT_EQ(column[2], QColor(195, 147, 77));
    EXPECT_EQ(countBlack(view->grab().toImage()), 0);

    // A failed load leaves an empty view pinned at (0, 0): the mark shows.
    view->setType(LeftRole);
    const std::uint8_t junk[] = {1, 2, 3, 4};
    view->setImageWithData(junk);
    EXPECT_EQ(view->image(), nullptr);
    EXPECT_GT(countBlack(view->grab().toImage()), 0);
}

}  // namespace
}  // namespace korvex
