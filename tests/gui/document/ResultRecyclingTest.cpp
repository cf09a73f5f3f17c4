// While the preview stands in for the whole result, the former whole result
// lends its memory to the next one: a big pair never holds two whole
// results, and what lands is still exactly a composition on the spot.
#include "gui/document/BackgroundComposition.h"

#include "GuiTestSupport.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace korvex;

namespace {

MyDocument* openPair(DocumentController& controller)
{
    MyDocument* d = controller.openUntitledDocument(false);
    d->leftImage()->setImage(test::patternPicture(640, 480));
    d->rightImage()->setImage(test::patternPicture(630, 470));
    d->leftImage()->setPinPoint({320, 240});
    d->rightImage()->setPinPoint({310, 230});
    d->model().setChanged(true);
    d->resize(500, 400);
    d->show();
    d->tabView()->setCurrentIndex(2);
    QCoreApplication::processEvents();
    d->model().completeResult();
    return d;
}

bool samePixels(const Bitmap& a, const Bitmap& b)
{
    if (a.pixelsWide() != b.pixelsWide() || a.pixelsHigh() != b.pixelsHigh())
        return false;
    for (int y = 0; y < a.pixelsHigh(); ++y)
        if (std::memcmp(a.bitmapData() + a.bytesPerRow() * y, b.bitmapData() + b.bytesPerRow() * y,
                        std::size_t(a.pixelsWide()) * 3) != 0)
            return false;
    return true;
}

TEST(ResultRecycling, AStepComposesIntoTheFormerResultsMemory)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* background = openPair(controller);
    MyDocument* onTheSpot = openPair(controller);
    onTheSpot->model().setCompositionScheduler(nullptr);

    // Same size (glasses) and one pixel narrower (depth): both fit the former canvas.
    const std::function<void(StereoDocument&)> steps[] = {[](StereoDocument& m) { m.set3DGlasses(2); },
                                                          [](StereoDocument& m) { m.incDepth(); }};
    for (const auto& step : steps) {
        const std::uint8_t* former = background->resultImage()->image()->bitmapData();
        QSignalSpy landed(&background->composition(), &BackgroundComposition::resultLanded);
        step(background->model());
        step(onTheSpot->model());
        ASSERT_TRUE(background->resultImage()->preview());
        ASSERT_TRUE(landed.wait(20000));
        const Bitmap* result = background->resultImage()->image();
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->bitmapData(), former);
        EXPECT_TRUE(samePixels(*result, *onTheSpot->resultImage()->image()));
    }
}

}  // namespace
