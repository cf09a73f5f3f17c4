#include "GuiTestSupport.h"

#include "gui/zoom/ZoomScrollView.h"

#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(ZoomScrollViewTest, StartsAtHundredWithThePopUpBesideTheScrollBar)
{
    ZoomScrollView view;
    ASSERT_NE(view.zoomButton(), nullptr);
    QComboBox* button = view.zoomButton();
    EXPECT_EQ(view.zoom(), 100);
    EXPECT_EQ(button->currentData().toInt(), 100);
    // Fit first, then the levels.
    ASSERT_EQ(button->count(), 10);
    EXPECT_EQ(button->itemData(0).toInt(), ZoomScrollView::fitItem);
    EXPECT_EQ(button->itemText(0), QStringLiteral("Fit"));
    for (int i = 1; i < button->count(); ++i)
        EXPECT_EQ(button->itemData(i).toInt(), ZoomScrollView::standardZoomLevels()[i - 1]);
    EXPECT_EQ(view.scrollBarWidgets(Qt::AlignLeft), QWidgetList{button});
    EXPECT_EQ(button->width(), 60);
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    test::setViewport(view, {300, 200});
    // The pop-up shares the horizontal bar's strip, left of the bar.
    const QRect bar = view.horizontalScrollBar()->geometry();
    const QRect pop = button->geometry().translated(button->parentWidget()->mapTo(&view, QPoint()));
    const QRect barInView = bar.translated(view.horizontalScrollBar()->parentWidget()->mapTo(&view, QPoint()));
    EXPECT_LE(pop.right(), barInView.left());
    EXPECT_EQ(pop.center().y(), barInView.center().y());
}

TEST(ZoomScrollViewTest, ZoomRescalesTheFrameAndKeepsTheBounds)
{
    ZoomScrollView view;
    auto* doc = new QWidget;
    doc->resize(800, 600);
    view.setWidget(doc);
    QStringList order;
    int zoomSeenWhenWillChange = 0;
    QSize frameSeenWhenWillChange;
    QObject::connect(&view, &ZoomScrollView::zoomWillChange, [&] {
        order << QStringLiteral("will");
        zoomSeenWhenWillChange = view.zoom();
        frameSeenWhenWillChange = doc->size();
    });
    QObject::connect(&view, &ZoomScrollView::zoomHasChanged, [&] { order << QStringLiteral("has"); });

    test::chooseZoom(view, 50);
    EXPECT_EQ(order, (QStringList{QStringLiteral("will"), QStringLiteral("has")}));
    EXPECT_EQ(zoomSeenWhenWillChange, 50);
    EXPECT_EQ(frameSeenWhenWillChange, QSize(800, 600));
    EXPECT_EQ(doc->size(), QSize(400, 300));
    EXPECT_EQ(view.documentBounds(), QSizeF(800, 600));

    test::chooseZoom(view, 200);
    EXPECT_EQ(doc->size(), QSize(1600, 1200));

    // The same level again still announces both and lays the frame again.
    order.clear();
    doc->resize(10, 10);
    test::chooseZoom(view, 200);
    EXPECT_EQ(order, (QStringList{QStringLiteral("will"), QStringLiteral("has")}));
    EXPECT_EQ(doc->size(), QSize(10, 10));
    EXPECT_EQ(view.documentBounds(), QSizeF(5, 5));

    // Rounding to whole pixels does not drift over several zooms.
    ZoomScrollView fresh;
    auto* odd = new QWidget;
    odd->resize(801, 601);
    fresh.setWidget(odd);
    test::chooseZoom(fresh, 10);
    EXPECT_EQ(odd->size(), QSize(81, 61));
    test::chooseZoom(fresh, 75);
    test::chooseZoom(fresh, 100);
    EXPECT_EQ(odd->size(), QSize(801, 601));
}

TEST(ZoomScrollViewTest, OnlyThePopUpChangesTheZoom)
{
    ZoomScrollView view;
    auto* doc = new QWidget;
    doc->resize(800, 600);
    view.setWidget(doc);
    QSignalSpy will(&view, &ZoomScrollView::zoomWillChange);
    QSignalSpy has(&view, &ZoomScrollView::zoomHasChanged);
    view.zoomButton()->setCurrentIndex(view.zoomButton()->findData(400));
    QComboBox other;
    view.receiveZoomLevelFrom(&other);
    view.receiveZoomLevelFrom(nullptr);
    view.receiveZoomLevelFrom(&view);
    EXPECT_EQ(will.count(), 0);
    EXPECT_EQ(has.count(), 0);
    EXPECT_EQ(doc->size(), QSize(800, 600));
    view.receiveZoomLevelFrom(view.zoomButton());
    EXPECT_EQ(has.count(), 1);
    EXPECT_EQ(doc->size(), QSize(3200, 2400));

    // Without a zoom menu there is no pop-up, and the level reads 100.
    ZoomScrollView bare(nullptr, {});
    EXPECT_EQ(bare.zoomButton(), nullptr);
    EXPECT_EQ(bare.zoom(), 100);
    EXPECT_TRUE(bare.scrollBarWidgets(Qt::AlignLeft).isEmpty());
}

}  // namespace
}  // namespace korvex
