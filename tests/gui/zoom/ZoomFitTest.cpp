// The Fit level, the stepping that shortcuts and the wheel use, and zooming
// about the pointer, with a picture view inside the scroll view.
#include "GuiTestSupport.h"

#include "gui/imageview/ImageView.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace korvex {
namespace {

// The level Fit should reach, found by trying every level from 100 down:
// the first at which the zoomed picture, rounded up to whole pixels as the
// frame is, lies inside the viewport.
int fittingLevelBySearch(QSize viewport, QSize picture)
{
    for (int level = 100; level > 1; --level) {
        const double z = level / 100.0;
        if (std::ceil(picture.width() * z - 1e-9) <= viewport.width()
            && std::ceil(picture.height() * z - 1e-9) <= viewport.height())
            return level;
    }
    return 1;
}

TEST(ZoomFitTest, FitLevelIsTheLargestWholeLevelThatShowsTheWholePicture)
{
    struct Case {
        QSize viewport;
        QSize picture;
    };
    const Case cases[] = {
        {{600, 500}, {4032, 3024}},  // a 12 MP photograph, landscape
        {{600, 500}, {3024, 4032}},  // the same, portrait
        {{600, 500}, {400, 300}},    // smaller than the view: never enlarged
        {{600, 500}, {600, 500}},    // exactly the view
        {{600, 500}, {1200, 1000}},  // exactly half
        {{600, 500}, {601, 100}},    // one pixel too wide
        {{777, 333}, {1555, 999}},
        {{50, 40}, {100000, 100}},   // below one percent still shows something
        {{1, 1}, {3, 3}},
        {{0, 0}, {3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("viewport %1x%2 picture %3x%4")
                         .arg(c.viewport.width()).arg(c.viewport.height())
                         .arg(c.picture.width()).arg(c.picture.height()).toStdString());
        EXPECT_EQ(ZoomScrollView::fitLevel(c.viewport, QSizeF(c.picture)), fittingLevelBySearch(c.viewport, c.picture));
    }
    EXPECT_EQ(ZoomScrollView::fitLevel({600, 500}, QSizeF()), 100);
}

class FitInViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = new ImageView;
        scroll.setWidget(view);
        view->setType(LeftRole);
        test::setViewport(scroll, {600, 500});
    }

    ZoomScrollView scroll;
    ImageView* view = nullptr;
};

TEST_F(FitInViewTest, FitFollowsTheViewportAndThePictureWhileChosen)
{
    view->setImage(test::patternPicture(4032, 3024));
    EXPECT_EQ(scroll.zoom(), 100);
    QSignalSpy has(&scroll, &ZoomScrollView::zoomHasChanged);
    ASSERT_TRUE(scroll.chooseLevel(ZoomScrollView::fitItem));
    EXPECT_TRUE(scroll.isFitting());
    EXPECT_EQ(scroll.zoom(), fittingLevelBySearch({600, 500}, {4032, 3024}));
    EXPECT_EQ(has.count(), 1);
    // Nothing to scroll: the frame is the viewport.
    EXPECT_EQ(view->size(), QSize(600, 500));

    test::setViewport(scroll, {900, 700});
    EXPECT_EQ(scroll.zoom(), fittingLevelBySearch({900, 700}, {4032, 3024}));
    EXPECT_EQ(view->size(), QSize(900, 700));
    EXPECT_TRUE(view->geometry().pictureRect().width() <= 900);

    view->setImage(test::patternPicture(300, 2000));
    EXPECT_EQ(scroll.zoom(), fittingLevelBySearch({900, 700}, {300, 2000}));
    EXPECT_EQ(view->size(), QSize(900, 700));

    // Another level chosen: the viewport no longer decides.
    test::chooseZoom(scroll, 200);
    test::setViewport(scroll, {600, 500});
    EXPECT_EQ(scroll.zoom(), 200);
    EXPECT_EQ(view->size(), QSize(600, 4000));
}

TEST_F(FitInViewTest, StepsGoToTheNextLevelFromTheOneShown)
{
    view->setImage(test::patternPicture(4032, 3024));  // Fit gives 14 % in 600 x 500
    struct Case {
        int start;  // a level, or fitItem
        int direction;
        int expected;  // the level shown afterwards
        bool moved;
    };
    const Case cases[] = {
        {100, +1, 150, true},  {100, -1, 75, true},  {800, +1, 800, false}, {10, -1, 10, false},
        {ZoomScrollView::fitItem, +1, 25, true},       {ZoomScrollView::fitItem, -1, 10, true},
        {400, -1, 200, true},  {25, +1, 50, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.start << " by " << c.direction);
        ASSERT_TRUE(scroll.chooseLevel(c.start));
        EXPECT_EQ(scroll.stepZoom(c.direction), c.moved);
        EXPECT_EQ(scroll.zoom(), c.expected);
        // The pop-up shows the level that was chosen.
        EXPECT_EQ(scroll.zoomButton()->currentData().toInt(), c.moved ? c.expected : c.start);
    }
    EXPECT_FALSE(scroll.chooseLevel(33));
}

TEST_F(FitInViewTest, ControlWheelZoomsAboutThePointer)
{
    view->setImage(test::patternPicture(1000, 800));
    test::scrollTo(scroll, 150, 100);
    struct Case {
        QPoint pointer;  // in the viewport
        int notches;     // + towards the user's screen: larger
        int expected;
    };
    int checked = 0;
    const Case cases[] = {{{100, 80}, +1, 150}, {{500, 400}, +1, 200}, {{300, 250}, -2, 100}, {{450, 120}, -1, 75}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.pointer.x() << "," << c.pointer.y() << " by " << c.notches);
        const QPointF onViewBefore = view->mapFrom(scroll.viewport(), QPointF(c.pointer));
        const Point pictureBefore = view->geometry().mapToPicture(onViewBefore);
        QWheelEvent wheel(QPointF(c.pointer), scroll.viewport()->mapToGlobal(QPointF(c.pointer)), QPoint(),
                          QPoint(0, 120 * c.notches), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(scroll.viewport(), &wheel);
        EXPECT_EQ(scroll.zoom(), c.expected);
        const QPointF onViewAfter = view->mapFrom(scroll.viewport(), QPointF(c.pointer));
        const Point pictureAfter = view->geometry().mapToPicture(onViewAfter);
        // The picture point under the pointer stays there (to a pixel),
        // unless the view had to stop at the end of its scroll range.
        const double pixel = 100.0 / c.expected;
        auto inside = [](const QScrollBar* bar) { return bar->value() > bar->minimum() && bar->value() < bar->maximum(); };
        if (inside(scroll.horizontalScrollBar())) {
            EXPECT_NEAR(pictureAfter.x, pictureBefore.x, pixel);
        }
        if (inside(scroll.verticalScrollBar())) {
            EXPECT_NEAR(pictureAfter.y, pictureBefore.y, pixel);
        }
        checked += int(inside(scroll.horizontalScrollBar())) + int(inside(scroll.verticalScrollBar()));
    }

    EXPECT_GE(checked, 4);

    // Without Ctrl the wheel scrolls and the zoom stays.
    const int level = scroll.zoom();
    QWheelEvent plain(QPointF(10, 10), scroll.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(scroll.viewport(), &plain);
    EXPECT_EQ(scroll.zoom(), level);

    // A touchpad's small turns add up to one step.
    for (int i = 0; i < 3; ++i) {
        QWheelEvent small(QPointF(10, 10), scroll.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 40),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(scroll.viewport(), &small);
        EXPECT_EQ(scroll.zoom(), i < 2 ? level : 100);
    }
}

}  // namespace
}  // namespace korvex
