// The zoom commands of a document window: keys that step through the pop-up's
// levels, fit and go back to 100 %, and the preference to fit new pictures.
#include "GuiTestSupport.h"

#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/DocumentZoom.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

class ZoomCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        big = writePicture(QStringLiteral("big.png"), 2000, 1500);
    }

    QString writePicture(const QString& name, int wide, int high)
    {
        return test::writePatternPng(dir.filePath(name), wide, high);
    }

    MyDocument* shownDocument()
    {
        MyDocument* document = controller.openUntitledDocument(false);
        document->show();
        QApplication::setActiveWindow(document);
        EXPECT_TRUE(QTest::qWaitForWindowActive(document));
        return document;
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    QString big;
};

TEST_F(ZoomCommandsTest, KeysChooseThePopUpsItems)
{
    MyDocument* document = shownDocument();
    document->loadPair(big, big);
    ASSERT_TRUE(test::waitForLoads(*document));
    ImageView* view = document->leftImage();
    ZoomScrollView* zoom = view->zoomView();
    view->setFocus();
    ASSERT_EQ(zoom->zoom(), 100);

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int expectedItem;  // the pop-up item chosen afterwards
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Step steps[] = {
        {Qt::Key_Plus, ctrl, 150},  {Qt::Key_Equal, ctrl, 200}, {Qt::Key_Plus, ctrl, 400},
        {Qt::Key_Plus, ctrl, 800},  {Qt::Key_Plus, ctrl, 800},  // the end stays
        {Qt::Key_Minus, ctrl, 400}, {Qt::Key_9, ctrl, ZoomScrollView::fitItem},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(QKeySequence(s.key | s.modifiers).toString().toStdString());
        QTest::keyClick(view, s.key, s.modifiers);
        EXPECT_EQ(zoom->zoomButton()->currentData().toInt(), s.expectedItem);
    }
    // From Fit a step goes to the next level below the fitted one.
    const int fitted = zoom->zoom();
    ASSERT_LT(fitted, 100);
    int below = 0;
    for (int level : ZoomScrollView::standardZoomLevels())
        if (level < fitted)
            below = level;
    QTest::keyClick(view, Qt::Key_Minus, ctrl);
    EXPECT_EQ(zoom->zoom(), below);
    QTest::keyClick(view, Qt::Key_0, ctrl | Qt::AltModifier);
    EXPECT_EQ(zoom->zoomButton()->currentData().toInt(), 100);

    // Ctrl+0 is still the alignment reset, and leaves the zoom alone.
    document->model().incDepth();
    test::chooseZoom(*zoom, 50);
    QTest::keyClick(view, Qt::Key_0, ctrl);
    EXPECT_EQ(document->model().horizontalOffset(), 0);
    EXPECT_EQ(zoom->zoom(), 50);

    // The keys act on the tab that shows.
    document->tabView()->setCurrentIndex(2);
    document->action(Command::ZoomIn)->trigger();
    EXPECT_EQ(document->resultImage()->zoomView()->zoom(), 150);
    EXPECT_EQ(zoom->zoom(), 50);
}

TEST_F(ZoomCommandsTest, FitNewPicturesIsAPreferenceKeptInTheDefaults)
{
    MyDocument* first = shownDocument();
    EXPECT_FALSE(first->action(Command::FitNewPictures)->isChecked());
    first->loadLeft(big);
    ASSERT_TRUE(test::waitForLoads(*first));
    EXPECT_EQ(first->leftImage()->zoomView()->zoom(), 100);

    first->action(Command::FitNewPictures)->trigger();
    EXPECT_EQ(defaults.boolForKey(DocumentZoom::fitNewPicturesKey), true);
    EXPECT_TRUE(first->action(Command::FitNewPictures)->isChecked());

    // A new window starts fitted, and so does a new picture in one that had another level.
    MyDocument* second = shownDocument();
    for (ImageView* view : {second->leftImage(), second->rightImage(), second->resultImage()})
        EXPECT_TRUE(view->zoomView()->isFitting());
    ZoomScrollView* zoom = first->leftImage()->zoomView();
    test::chooseZoom(*zoom, 200);
    first->loadLeft(big);
    ASSERT_TRUE(test::waitForLoads(*first));
    EXPECT_TRUE(zoom->isFitting());
    EXPECT_LT(zoom->zoom(), 100);

    // Off again: the levels stay as the user chose them.
    second->action(Command::FitNewPictures)->trigger();
    EXPECT_EQ(defaults.boolForKey(DocumentZoom::fitNewPicturesKey), false);
    test::chooseZoom(*zoom, 200);
    first->loadLeft(big);
    ASSERT_TRUE(test::waitForLoads(*first));
    EXPECT_EQ(zoom->zoom(), 200);
}

}  // namespace
