// The result view on a change: the part in sight at once, composed at the
// scale it is shown, then the whole result from the worker thread; what the
// view shows then is what a composition on the spot shows, and saving and
// printing wait for the whole result.
#include "gui/document/BackgroundComposition.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QFile>
#include <QImage>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace korvex;

namespace {

// Smooth colours, different in each eye: a reduced copy is a fair stand-in,
// and any shift between the pictures changes the anaglyph.
std::unique_ptr<Bitmap> picture(int w, int h, int seed)
{
    auto bitmap = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bitmap->bitmapData() + std::size_t(y) * bitmap->bytesPerRow();
        for (int x = 0; x < w; ++x) {
            row[3 * x] = std::uint8_t(128 + 100 * std::sin((x + 13 * seed) / 60.0 + y / 90.0));
            row[3 * x + 1] = std::uint8_t(128 + 100 * std::cos(x / 80.0 - (y + seed) / 50.0));
            row[3 * x + 2] = std::uint8_t(128 + 100 * std::sin((x + y) / 70.0 + seed));
        }
    }
    return bitmap;
}

class ResultInBackground : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        background = open();
        onTheSpot = open();
        // The reference composes as the window did before: at once, all of it.
        onTheSpot->model().setCompositionScheduler(nullptr);
    }

    MyDocument* open()
    {
        MyDocument* d = controller.openUntitledDocument(false);
        d->leftImage()->setImage(picture(1203, 801, 1));
        d->rightImage()->setImage(picture(1190, 812, 2));
        d->leftImage()->setPinPoint({600, 400});
        d->rightImage()->setPinPoint({590, 410});
        d->model().setChanged(true);
        d->resize(700, 500);
        d->show();
        d->tabView()->setCurrentIndex(2);
        QCoreApplication::processEvents();
        d->model().completeResult();
        return d;
    }

    void bothZoomTo(int level)
    {
        for (MyDocument* d : {background, onTheSpot}) {
            test::chooseZoom(*d->resultImage()->zoomView(), level);
            test::scrollTo(*d->resultImage()->zoomView(), 37, 23);
        }
        QCoreApplication::processEvents();
    }

    static QImage shown(MyDocument* d) { return d->resultImage()->zoomView()->viewport()->grab().toImage(); }
    // What the view shows once it has rested: zoomed out, a new picture is
    // first drawn quickly from its full pixels and then from a smooth copy.
    static QImage settled(MyDocument* d)
    {
        QImage last = shown(d);
        for (int i = 0; i < 10; ++i) {
            QTest::qWait(200);
            // A loaded machine can end the wait before it turns the loop once
            // the refining timer is due; one more turn lets it fire.
            QCoreApplication::processEvents();
            QImage now = shown(d);
            if (now == last)
                break;
            last = std::move(now);
        }
        return last;
    }

    // Steps both documents the same way; the background one is left with its preview.
    void step(void (StereoDocument::*command)())
    {
        (background->model().*command)();
        (onTheSpot->model().*command)();
    }

    // What the background document shows straight after a second depth step,
    // the first having left it time to make its halved copies: the preview.
    QImage previewOfASecondStep()
    {
        step(&StereoDocument::incDepth);
        background->model().completeResult();
        step(&StereoDocument::incDepth);
        EXPECT_TRUE(background->resultImage()->preview());
        return shown(background);
    }

    // The whole result, in by the event loop as the window gets it.
    void waitForLanding()
    {
        QSignalSpy landed(&background->composition(), &BackgroundComposition::resultLanded);
        if (background->model().resultPending()) {
            ASSERT_TRUE(landed.wait(20000));
        }
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* background = nullptr;
    MyDocument* onTheSpot = nullptr;
};

int worstDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int row = 0; row < std::min(x.height(), y.height()); ++row)
        for (int col = 0; col < std::min(x.width(), y.width()); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    long long count = 0;
    for (int row = 0; row < std::min(x.height(), y.height()); ++row)
        for (int col = 0; col < std::min(x.width(), y.width()); ++col, count += 3) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return count ? sum / double(count) : 0.0;
}

TEST_F(ResultInBackground, OnceTheWholeResultIsInTheViewIsThatOfACompositionOnTheSpot)
{
    for (const int level : {10, 25, 50, 75, 100, 200}) {
        SCOPED_TRACE(level);
        bothZoomTo(level);
        step(&StereoDocument::incDepth);
        step(&StereoDocument::decVerticalOffset);
        EXPECT_TRUE(background->model().resultPending());
        waitForLanding();
        EXPECT_FALSE(background->model().resultPending());
        EXPECT_FALSE(background->resultImage()->preview());
        EXPECT_EQ(settled(background), settled(onTheSpot));
    }
}

TEST_F(ResultInBackground, ThePreviewIsTheWholeResultAtTheShownScaleWithinRounding)
{
    // At 100 % and above the part in sight is exactly those pixels; zoomed
    // out it comes from the halved copies, once they are made, read at the
    // view's own pixels (Fit puts the picture at a fraction of one). The
    // frames are previewed the same way.
    struct Case {
        StereoFormat format;
        int level;
        int tolerance;
        double meanTolerance;
    };
    const Case cases[] = {
        {StereoFormat::Anaglyph, 100, 0, 1.5}, {StereoFormat::Anaglyph, 200, 0, 1.5}, {StereoFormat::Anaglyph, 50, 3, 1.5},
        {StereoFormat::Anaglyph, 25, 3, 1.5}, {StereoFormat::Anaglyph, 75, 4, 1.5},
        // The whole is scaled by Qt and then moved by a fraction of a pixel.
        {StereoFormat::Anaglyph, ZoomScrollView::fitItem, 5, 1.5},
        {StereoFormat::SideBySide, 100, 0, 1.5}, {StereoFormat::OverUnder, 50, 3, 1.5},
        // Smoothed twice, the view spreads the eyes' edges beside the white
        // gap over two pixels where the preview mixes one: far from rounding
        // there, but on average as close as the anaglyph's.
        {StereoFormat::CrossEyed, ZoomScrollView::fitItem, 64, 1.5},
        // The squeezed eyes: exact at whole scale; zoomed out, the view
        // smooths the odd overlap's white middle line twice, as above.
        {StereoFormat::HalfSideBySide, 100, 0, 1.5}, {StereoFormat::HalfSideBySide, 50, 64, 1.5},
        {StereoFormat::HalfOverUnder, 200, 0, 1.5}, {StereoFormat::HalfOverUnder, 25, 4, 1.5},
        {StereoFormat::InterleavedRows, 100, 0, 1.5}, {StereoFormat::InterleavedRows, 50, 3, 1.5},
        // Between the halvings each view row holds the eyes in changing
        // shares, which the view's second smoothing (as at Fit above) blurs
        // into its neighbours': the preview has Qt's area shares unblurred.
        {StereoFormat::InterleavedRows, 75, 16, 4.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(stereoFormatInfo(c.format).code) + " at " + std::to_string(c.level));
        for (MyDocument* d : {background, onTheSpot}) {
            d->model().setResultFormat(c.format);
            d->model().setGap(9);
        }
        bothZoomTo(c.level);
        const QImage preview = previewOfASecondStep();
        waitForLanding();
        const QImage whole = settled(background);
        EXPECT_LE(worstDifference(preview, whole), c.tolerance);
        EXPECT_LT(meanDifference(preview, whole), c.meanTolerance);
        EXPECT_EQ(whole, settled(onTheSpot));
    }
}

TEST_F(ResultInBackground, ZoomedOutThePreviewStaysUntilTheLandedResultIsDrawnSmoothly)
{
    // Drawn at once from its full pixels, unsmoothed, the landed frame would
    // show only every other row for a moment: interleaved rows, one eye.
    for (MyDocument* d : {background, onTheSpot})
        d->model().setResultFormat(StereoFormat::InterleavedRows);
    bothZoomTo(50);
    const QImage preview = previewOfASecondStep();
    waitForLanding();
    EXPECT_FALSE(background->resultImage()->preview());
    EXPECT_EQ(shown(background), preview);
    const QImage rested = settled(background);
    EXPECT_NE(rested, preview);
    EXPECT_LT(meanDifference(rested, preview), 1.5);
    EXPECT_EQ(rested, settled(onTheSpot));
}

TEST_F(ResultInBackground, ABurstOfStepsLandsOnlyTheLast)
{
    bothZoomTo(50);
    QSignalSpy landed(&background->composition(), &BackgroundComposition::resultLanded);
    for (int i = 0; i < 12; ++i)
        step(i % 3 ? &StereoDocument::incDepth : &StereoDocument::incVerticalOffset);
    waitForLanding();
    QCoreApplication::processEvents();
    // Every composition overtaken by a later step was dropped.
    EXPECT_EQ(landed.count(), 1);
    onTheSpot->model().completeResult();
    const Bitmap& a = *background->resultImage()->image();
    const Bitmap& b = *onTheSpot->resultImage()->image();
    ASSERT_EQ(a.pixelsWide(), b.pixelsWide());
    ASSERT_EQ(a.pixelsHigh(), b.pixelsHigh());
    for (int y = 0; y < a.pixelsHigh(); ++y)
        ASSERT_EQ(std::memcmp(a.bitmapData() + a.bytesPerRow() * y, b.bitmapData() + b.bytesPerRow() * y,
                              std::size_t(a.pixelsWide()) * 3), 0) << "row " << y;
}

TEST_F(ResultInBackground, SavingRightAfterAStepWritesTheWholeResultOfThatStep)
{
    const RightCorrection turned{0.6, 1.0, 0, 0};
    for (MyDocument* d : {background, onTheSpot})
        d->model().setRightCorrection(turned);  // resampled off the window's thread in the background document
    step(&StereoDocument::incDepth);
    ASSERT_TRUE(background->model().resultPending());
    QString error;
    const QString path = dir.filePath(QStringLiteral("saved.png"));
    ASSERT_TRUE(background->writeResult(path, QStringLiteral("PNG"), &error)) << error.toStdString();
    EXPECT_FALSE(background->model().resultPending());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const EncodeResult expected = onTheSpot->model().dataRepresentationOfType("PNG");
    ASSERT_TRUE(expected);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected.data);
}

TEST_F(ResultInBackground, ALoadWhileComposingKeepsThePictureTheWorkerReadsUntilItIsDone)
{
    step(&StereoDocument::incDepth);
    // Replaced at once while the worker may still read the former picture.
    background->leftImage()->setImage(picture(1203, 801, 5));
    background->model().setChanged(true);
    background->model().recalc();
    waitForLanding();
    onTheSpot->leftImage()->setImage(picture(1203, 801, 5));
    onTheSpot->model().setChanged(true);
    onTheSpot->model().recalc();
    EXPECT_EQ(settled(background), settled(onTheSpot));
}

}  // namespace
