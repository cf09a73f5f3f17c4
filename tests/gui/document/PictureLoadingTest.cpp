// Pictures decode away from the window's thread and land later: the window
// keeps what it shows until then, a newer load into the same view wins, a
// closed window gets nothing, and failures say what they said before.
#include "gui/document/PictureLoading.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/common/Strings.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace korvex;

namespace {

class PictureLoadingTest : public ::testing::Test {
public:  // for the cases' functions
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        // Sizes tell the pictures apart.
        a = write(QStringLiteral("a.png"), 40, 30);
        b = write(QStringLiteral("b.png"), 50, 30);
        c = write(QStringLiteral("c.png"), 60, 30);
        d = controller.openUntitledDocument(false);
    }

    QString write(const QString& name, int wide, int high)
    {
        return test::writePatternPng(dir.filePath(name), wide, high);
    }

    static int widthOf(ImageView* view) { return view->image() ? view->image()->pixelsWide() : 0; }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* d = nullptr;
    QString a, b, c;
};

TEST_F(PictureLoadingTest, APairLandsLaterAsOneStepAndTheWindowSaysItIsBusyMeanwhile)
{
    d->loadPair(a, b);
    ASSERT_TRUE(test::waitForLoads(*d));
    d->undoStack()->clear();

    QSignalSpy landed(&d->loading(), &PictureLoading::landed);
    d->loadPair(c, a);
    // Nothing changes until the event loop turns: the window shows what it had.
    EXPECT_TRUE(d->isLoading());
    EXPECT_EQ(widthOf(d->leftImage()), 40);
    EXPECT_EQ(widthOf(d->rightImage()), 50);
    EXPECT_EQ(d->undoStack()->count(), 0);
    EXPECT_EQ(d->cursor().shape(), Qt::BusyCursor);
    const QString opening = localizedString("LoadingPictures")
                                .arg(localizedString("RecentPair").arg(QStringLiteral("c.png"), QStringLiteral("a.png")));
    EXPECT_EQ(d->statusBar()->currentMessage(), opening);

    ASSERT_TRUE(test::waitForLoads(*d));
    EXPECT_EQ(landed.count(), 1);
    EXPECT_EQ(widthOf(d->leftImage()), 60);
    EXPECT_EQ(widthOf(d->rightImage()), 40);
    EXPECT_NE(d->cursor().shape(), Qt::BusyCursor);
    EXPECT_TRUE(d->statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(d->isDocumentEdited());

    ASSERT_EQ(d->undoStack()->count(), 1);
    EXPECT_EQ(d->undoStack()->undoText(), localizedString("UndoLoadPair"));
    d->undoStack()->undo();
    EXPECT_EQ(widthOf(d->leftImage()), 40);
    EXPECT_EQ(widthOf(d->rightImage()), 50);
    d->undoStack()->redo();
    EXPECT_EQ(widthOf(d->leftImage()), 60);
    EXPECT_EQ(widthOf(d->rightImage()), 40);
}

TEST_F(PictureLoadingTest, ANewerLoadIntoTheSameViewSupersedesOnlyThatView)
{
    struct Case {
        const char* what;
        std::function<void(PictureLoadingTest&)> loads;  // started back to back
        int left, right, steps;
    };
    const Case cases[] = {
        {"left twice", [](PictureLoadingTest& t) { t.d->loadLeft(t.a); t.d->loadLeft(t.b); }, 50, 0, 1},
        {"a pair, then its left view",
         [](PictureLoadingTest& t) { t.d->loadPair(t.a, t.b); t.d->loadLeft(t.c); }, 60, 0, 1},
        {"the right view, then a pair",
         [](PictureLoadingTest& t) { t.d->loadRight(t.c); t.d->loadPair(t.a, t.b); }, 40, 50, 1},
        {"left and right: both land", [](PictureLoadingTest& t) { t.d->loadLeft(t.a); t.d->loadRight(t.c); }, 40, 60, 2},
    };
    for (const Case& each : cases) {
        d->leftImage()->setImage(nullptr);
        d->rightImage()->setImage(nullptr);
        d->undoStack()->clear();
        QSignalSpy landed(&d->loading(), &PictureLoading::landed);
        each.loads(*this);
        ASSERT_TRUE(test::waitForLoads(*d)) << each.what;
        // The loser's decode may still run: once it has ended, nothing more may land.
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        EXPECT_EQ(widthOf(d->leftImage()), each.left) << each.what;
        EXPECT_EQ(widthOf(d->rightImage()), each.right) << each.what;
        EXPECT_EQ(d->undoStack()->count(), each.steps) << each.what;
        EXPECT_EQ(landed.count(), each.steps) << each.what;
    }
}

TEST_F(PictureLoadingTest, AWindowClosedWhileLoadingGetsNothingLate)
{
    QPointer<MyDocument> window = d;
    QSignalSpy landed(&d->loading(), &PictureLoading::landed);
    d->loadPair(a, b);
    d->closeWithoutAsking();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(landed.count(), 0);
    EXPECT_TRUE(controller.documents().isEmpty());
}

TEST_F(PictureLoadingTest, AFailedLoadSaysWhyAndEmptiesItsViewUndoably)
{
    d->loadPair(a, b);
    ASSERT_TRUE(test::waitForLoads(*d));
    const QString junk = dir.filePath(QStringLiteral("junk.jpg"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();

    QSignalSpy notes(d, &MyDocument::noteShown);
    d->loadRight(junk);
    ASSERT_TRUE(test::waitForLoads(*d));
    ASSERT_EQ(notes.count(), 1);
    const QString note = notes.at(0).at(0).toString();
    const std::string expectedReason = decodeImageFile(junk.toStdString()).error;
    EXPECT_EQ(note, localizedString("CannotOpen").arg(QStringLiteral("junk.jpg"), QString::fromStdString(expectedReason)));
    EXPECT_EQ(d->statusBar()->currentMessage(), note);  // the busy words do not hide it
    EXPECT_EQ(d->rightImage()->image(), nullptr);
    d->undoStack()->undo();
    EXPECT_EQ(widthOf(d->rightImage()), 50);
}

TEST_F(PictureLoadingTest, SavingDuringALoadWritesWhatTheWindowShows)
{
    d->loadPair(a, a);
    ASSERT_TRUE(test::waitForLoads(*d));
    d->loadPair(c, c);
    const QString saved = dir.filePath(QStringLiteral("saved.png"));
    ASSERT_TRUE(d->writeResult(saved, QStringLiteral("PNG")));
    EXPECT_FALSE(d->isDocumentEdited());
    const DecodeResult written = decodeImageFile(saved.toStdString());
    ASSERT_TRUE(written);
    EXPECT_EQ(written.bitmap->pixelsWide(), 40);
    // The load lands after the save: its pictures are a change not yet saved.
    ASSERT_TRUE(test::waitForLoads(*d));
    EXPECT_EQ(widthOf(d->leftImage()), 60);
    EXPECT_TRUE(d->isDocumentEdited());
}

}  // namespace
