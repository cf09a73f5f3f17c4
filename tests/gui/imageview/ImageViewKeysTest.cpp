// The keyboard road to the pin point: arrows move it (Shift: ten), the view
// scrolls to keep it in sight, Tab asks for the other picture view.
#include "GuiTestSupport.h"

#include "gui/imageview/ImageView.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace korvex {
namespace {

class ImageViewKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = new ImageView;
        scroll.setWidget(view);
        view->setType(LeftRole);
        test::setViewport(scroll, {300, 200});
        view->setImage(test::patternPicture(400, 300));
        view->setPinPoint({200, 150});
    }

    ZoomScrollView scroll;
    ImageView* view = nullptr;
};

TEST_F(ImageViewKeysTest, ArrowsMoveThePinByOneOrTenUnitsWithinThePicture)
{
    QSignalSpy pinned(view, &ImageView::pinHasChanged);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        Point expected;
    };
    const Step steps[] = {
        {Qt::Key_Right, {}, {201, 150}},
        {Qt::Key_Up, {}, {201, 151}},  // up is up in the picture: y grows upwards
        {Qt::Key_Left, Qt::ShiftModifier, {191, 151}},
        {Qt::Key_Down, Qt::ShiftModifier, {191, 141}},
        {Qt::Key_Down, Qt::KeypadModifier, {191, 140}},
        // Keys with Ctrl or Alt belong to the shortcuts.
        {Qt::Key_Right, Qt::ControlModifier, {191, 140}},
        {Qt::Key_Up, Qt::AltModifier, {191, 140}},
        {Qt::Key_Space, {}, {191, 140}},
    };
    int moves = 0;
    for (const Step& s : steps) {
        const Point before = view->pinPoint();
        QTest::keyClick(view, s.key, s.mods);
        EXPECT_EQ(view->pinPoint(), s.expected) << s.key;
        if (!(view->pinPoint() == before))
            ++moves;
    }
    EXPECT_EQ(pinned.count(), moves);

    // Held against an edge, the pin stays on the picture.
    for (int i = 0; i < 25; ++i)
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(view->pinPoint(), (Point{400, 140}));
}

TEST_F(ImageViewKeysTest, TheViewScrollsToKeepThePinInSight)
{
    test::chooseZoom(scroll, 200);  // 800 x 600 in a 300 x 200 viewport
    test::scrollTo(scroll, 0, 0);
    for (int i = 0; i < 15; ++i)
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);  // pin at (350, 150): widget (700, 300)
    const QPointF pin = view->geometry().mapToWidget(view->pinPoint());
    const QRect visible(scroll.horizontalScrollBar()->value(), scroll.verticalScrollBar()->value(), 300, 200);
    EXPECT_TRUE(visible.contains(pin.toPoint())) << pin.x() << "," << pin.y();
}

TEST_F(ImageViewKeysTest, OnlyAPinViewWithAPictureTakesTheKeys)
{
    view->setType(ResultRole);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(view->pinPoint(), (Point{200, 150}));

    view->setType(RightRole);
    view->setImage(nullptr);
    QSignalSpy pinned(view, &ImageView::pinHasChanged);
    EXPECT_FALSE(view->movePinBy(1, 0));
    EXPECT_EQ(pinned.count(), 0);
}

TEST_F(ImageViewKeysTest, TabAsksForTheOtherPictureView)
{
    QSignalSpy next(view, &ImageView::nextViewRequested);
    QTest::keyClick(view, Qt::Key_Tab);
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(next.count(), 2);
    EXPECT_TRUE(next.at(0).at(0).toBool());
    EXPECT_FALSE(next.at(1).at(0).toBool());
}

}  // namespace
}  // namespace korvex
