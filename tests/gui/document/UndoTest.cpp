// Undo and redo of every change a user makes, done as the user does it
// (menu items, toolbar items, clicks, keys, drops, the clipboard, dialogs):
// undo brings back the whole prior state, pictures and result included, and
// redo the changed one; the edited mark follows the saved state.
#include "gui/document/MyDocument.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/common/Strings.h"
#include "gui/document/AutoAligner.h"
#include "gui/document/ColourMixingDialog.h"
#include "gui/document/DocumentController.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/imageview/ImageView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace korvex;

namespace {

constexpr int resultTab = 2;

// A picture's size and pixels, as bytes to compare; empty for no picture.
std::string picture(const Bitmap* bitmap)
{
    if (!bitmap)
        return {};
    std::string bytes = std::to_string(bitmap->pixelsWide()) + "x" + std::to_string(bitmap->pixelsHigh()) + ":";
    const int bits = bitmap->isPlanar() ? bitmap->bitsPerSample() : bitmap->bitsPerPixel();
    const std::size_t rowBytes = std::size_t(bitmap->pixelsWide()) * std::size_t(bits) / 8;
    for (int plane = 0; plane < bitmap->numberOfPlanes(); ++plane)
        for (int y = 0; y < bitmap->pixelsHigh(); ++y)
            bytes.append(reinterpret_cast<const char*>(bitmap->planeData(plane) + std::size_t(y) * bitmap->bytesPerRow()),
                         rowBytes);
    return bytes;
}

// Everything an undo must bring back.
struct Snapshot {
    DocumentState state;
    std::string left, right, result;
};

void expectSame(const Snapshot& actual, const Snapshot& expected, const std::string& what)
{
    EXPECT_TRUE(actual.state == expected.state) << what << ": settings or placement";
    EXPECT_TRUE(actual.left == expected.left) << what << ": left picture";
    EXPECT_TRUE(actual.right == expected.right) << what << ": right picture";
    EXPECT_TRUE(actual.result == expected.result) << what << ": result";
}

QByteArray pngOf(int wide, int high)
{
    const EncodeResult png = representationUsingType(*test::patternPicture(wide, high), FileType::PNG, {});
    return QByteArray(reinterpret_cast<const char*>(png.data.data()), qsizetype(png.data.size()));
}

class Undo : public ::testing::Test {
public:  // for the cases' functions
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        left = write(QStringLiteral("left.png"), pngOf(64, 48));
        right = write(QStringLiteral("right.png"), pngOf(60, 40));
        other = write(QStringLiteral("other.png"), pngOf(30, 20));
        stereo = write(QStringLiteral("pair.jps"), pngOf(80, 20));
        openPair();
    }

    // A new window with the left and right pictures loaded.
    void openPair()
    {
        d = controller.openUntitledDocument(false);
        d->resize(400, 300);
        d->show();
        d->loadPair(left, right);
        ASSERT_TRUE(test::waitForLoads(*d));
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    void trigger(Command command)
    {
        d->updateActions();
        d->action(command)->trigger();
    }

    // With the result composed for the state as it is; the tab shown stays.
    Snapshot snapshot()
    {
        const int tab = d->tabView()->currentIndex();
        d->tabView()->setCurrentIndex(resultTab);
        d->model().completeResult();  // the whole result of this state, not one still on its way
        Snapshot s{d->model().state(), picture(d->leftImage()->image()), picture(d->rightImage()->image()),
                   picture(d->resultImage()->image())};
        d->tabView()->setCurrentIndex(tab);
        return s;
    }

    // A drag that reaches the window outside the picture views.
    bool dropOnWindow(QMimeData& data)
    {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(d, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(d, &drop);
        return drop.isAccepted();
    }

    QString undoTextFor(const char* nameKey) const
    {
        return localizedString("MenuUndoStep").arg(localizedString(nameKey));
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* d = nullptr;
    QString left, right, other, stereo;
};

}  // namespace

TEST_F(Undo, EveryChangeIsUndoneWholeAndRedoneByName)
{
    struct Case {
        const char* what;
        const char* nameKey;
        std::function<void(Undo&)> change;
    };
    const Case cases[] = {
        {"glasses item", "UndoGlasses", [](Undo& t) { t.trigger(Command::GlassesRedBlue); }},
        {"glasses toolbar cycle", "UndoGlasses", [](Undo& t) { t.d->toolbar()->glassesButton()->trigger(); }},
        {"colour item", "UndoColor", [](Undo& t) { t.trigger(Command::Colorize); }},
        {"colour toolbar item", "UndoColor", [](Undo& t) { t.d->toolbar()->colorizeButton()->trigger(); }},
        {"method item", "UndoMethod", [](Undo& t) { t.trigger(Command::MethodGrey); }},
        {"method toolbar item", "UndoMethod", [](Undo& t) { t.d->toolbar()->itemForItemIdentifier(DocumentToolbar::methodItemIdentifier)->trigger(); }},
        {"colour mixing, OK", "UndoColourMixing", [](Undo& t) {
             ColourMixingDialog dialog(*t.d);
             dialog.spinBox(true, 0, 0)->setValue(500);
             dialog.spinBox(false, 2, 1)->setValue(-120);
             dialog.accept();
         }},
        {"result as side by side", "UndoResultFormat", [](Undo& t) { t.trigger(Command::ResultAsSideBySide); }},
        {"more depth", "UndoDepth", [](Undo& t) { t.trigger(Command::IncDepth); }},
        {"less depth", "UndoDepth", [](Undo& t) { t.trigger(Command::DecDepth); }},
        {"up", "UndoVertical", [](Undo& t) { t.trigger(Command::IncVerticalOffset); }},
        {"down", "UndoVertical", [](Undo& t) { t.trigger(Command::DecVerticalOffset); }},
        {"reset", "UndoReset", [](Undo& t) { t.trigger(Command::ResetAlignment); }},
        {"swap", "UndoSwap", [](Undo& t) { t.trigger(Command::SwitchPictures); }},
        {"turn the right picture", "UndoRotate", [](Undo& t) { t.trigger(Command::RotateRightClockwise); }},
        {"clear the correction", "UndoClearCorrection", [](Undo& t) { t.trigger(Command::ClearCorrection); }},
        {"pin click", "UndoPin", [](Undo& t) {
             t.d->tabView()->setCurrentIndex(0);
             QTest::mouseClick(t.d->leftImage(), Qt::LeftButton, {}, t.d->leftImage()->rect().center() + QPoint(-7, 5));
         }},
        {"pin arrow key", "UndoPin", [](Undo& t) {
             t.d->tabView()->setCurrentIndex(1);
             QTest::keyClick(t.d->rightImage(), Qt::Key_Left);
         }},
        {"load left", "UndoLoad", [](Undo& t) { t.d->loadLeft(t.other); }},
        {"open into the right view", "UndoLoad", [](Undo& t) {
             t.d->openFileDidEnd(true, {t.other}, t.d->rightImage());
         }},
        {"open a stereo file", "UndoLoadPair", [](Undo& t) {
             t.d->openFileDidEnd(true, {t.stereo}, t.d->leftImage());
         }},
        {"drop two files on the window", "UndoLoadPair", [](Undo& t) {
             QMimeData data;
             data.setUrls({QUrl::fromLocalFile(t.other), QUrl::fromLocalFile(t.left)});
             ASSERT_TRUE(t.dropOnWindow(data));
         }},
        {"drop a file on the window", "UndoLoad", [](Undo& t) {
             QMimeData data;
             data.setUrls({QUrl::fromLocalFile(t.other)});
             ASSERT_TRUE(t.dropOnWindow(data));
         }},
        {"drop picture data on the window", "UndoDrop", [](Undo& t) {
             QMimeData data;
             data.setData(QStringLiteral("image/png"), pngOf(24, 12));
             ASSERT_TRUE(t.dropOnWindow(data));
         }},
        {"drop picture data on the right view", "UndoDrop", [](Undo& t) {
             QMimeData data;
             data.setData(QStringLiteral("image/png"), pngOf(24, 12));
             QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
             QCoreApplication::sendEvent(t.d->rightImage(), &enter);
             QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
             QCoreApplication::sendEvent(t.d->rightImage(), &drop);
         }},
        {"paste into the left view", "UndoPaste", [](Undo& t) {
             QGuiApplication::clipboard()->setImage(QImage::fromData(pngOf(20, 16)));
             t.d->tabView()->setCurrentIndex(0);
             t.trigger(Command::Paste);
         }},
    };
    for (const Case& c : cases) {
        // A state where each command changes something: offsets, a
        // correction, glasses with every method.
        d->loadPair(left, right);
        ASSERT_TRUE(test::waitForLoads(*d));
        d->model().set3DGlasses(2);
        d->model().setAlignment(3, -2);
        d->model().setRightCorrection({0.5, 1.0, 0.0, 0.0});
        d->tabView()->setCurrentIndex(resultTab);
        d->undoStack()->clear();

        const Snapshot before = snapshot();
        c.change(*this);
        ASSERT_TRUE(test::waitForLoads(*d)) << c.what;  // loads, drops and pastes land later
        const Snapshot after = snapshot();
        ASSERT_EQ(d->undoStack()->count(), 1) << c.what;
        ASSERT_FALSE(after.state == before.state && after.left == before.left && after.right == before.right)
            << c.what;
        d->updateActions();
        EXPECT_EQ(d->action(Command::Undo)->text(), undoTextFor(c.nameKey)) << c.what;
        EXPECT_FALSE(d->action(Command::Redo)->isEnabled()) << c.what;

        for (int round = 0; round < 2; ++round) {
            trigger(Command::Undo);
            expectSame(snapshot(), before, std::string(c.what) + ", undone");
            EXPECT_TRUE(d->action(Command::Redo)->isEnabled()) << c.what;
            trigger(Command::Redo);
            expectSame(snapshot(), after, std::string(c.what) + ", redone");
        }
    }
}

TEST_F(Undo, AnAppliedAutoAlignmentIsOneStep)
{
    d->loadPair(QStringLiteral(KORVEX_SAMPLE_DIR "/aloeL.jpg"), QStringLiteral(KORVEX_SAMPLE_DIR "/aloeR.jpg"));
    ASSERT_TRUE(test::waitForLoads(*d));
    d->undoStack()->clear();
    const DocumentState before = d->model().state();
    QSignalSpy finished(&d->autoAligner(), &AutoAligner::finished);
    trigger(Command::AutoAlign);
    ASSERT_TRUE(finished.wait(60000));
    ASSERT_TRUE(finished.first().first().toBool());
    const DocumentState aligned = d->model().state();
    ASSERT_FALSE(aligned == before);
    EXPECT_EQ(d->undoStack()->count(), 1);
    EXPECT_EQ(d->undoStack()->undoText(), localizedString("UndoAutoAlign"));
    trigger(Command::Undo);
    EXPECT_TRUE(d->model().state() == before);
    trigger(Command::Redo);
    EXPECT_TRUE(d->model().state() == aligned);
}

TEST_F(Undo, AColourMixingCancelledOrUnchangedLeavesNoStep)
{
    d->model().set3DGlasses(2);
    d->undoStack()->clear();
    {
        ColourMixingDialog dialog(*d);
        dialog.spinBox(true, 0, 0)->setValue(500);
        dialog.reject();
    }
    EXPECT_EQ(d->undoStack()->count(), 0);
    d->model().setAnaglyphMethod(AnaglyphMethod::Custom);
    d->undoStack()->clear();
    {
        ColourMixingDialog dialog(*d);  // opens on the custom matrices as they are
        dialog.accept();
    }
    EXPECT_EQ(d->undoStack()->count(), 0);
}

TEST_F(Undo, AColourMixingCancelledLeavesTheDocumentAndItsEditedMarkAsTheyWere)
{
    const QString saved = dir.filePath(QStringLiteral("saved.png"));
    struct Case {
        const char* what;
        std::function<void(Undo&)> before;
        bool edited;
    };
    const Case cases[] = {
        {"loaded, never saved", [](Undo&) {}, true},
        {"just saved", [&](Undo& t) { ASSERT_TRUE(t.d->writeResult(saved, QStringLiteral("PNG"))); }, false},
        {"undone back to the saved state", [&](Undo& t) {
             ASSERT_TRUE(t.d->writeResult(saved, QStringLiteral("PNG")));
             t.trigger(Command::IncDepth);
             t.trigger(Command::Undo);
         }, false},
    };
    for (const Case& c : cases) {
        if (&c != cases)
            openPair();
        c.before(*this);
        ASSERT_EQ(d->isDocumentEdited(), c.edited) << c.what;
        const Snapshot before = snapshot();
        const int steps = d->undoStack()->count();
        {
            ColourMixingDialog dialog(*d);
            dialog.spinBox(true, 0, 0)->setValue(500);
            dialog.choosePreset(dialog.presetList()->findText(QStringLiteral("Grey")));
            dialog.spinBox(false, 2, 1)->setValue(-120);
            dialog.reject();
        }
        EXPECT_EQ(d->isDocumentEdited(), c.edited) << c.what;
        EXPECT_EQ(d->undoStack()->count(), steps) << c.what;
        expectSame(snapshot(), before, c.what);
        // Composing the state as it was is still no change.
        d->tabView()->setCurrentIndex(0);
        d->tabView()->setCurrentIndex(resultTab);
        EXPECT_EQ(d->isDocumentEdited(), c.edited) << c.what << ", recomposed";
        d->closeWithoutAsking();
    }
}

TEST_F(Undo, HeldKeysMergeIntoOneStepAndAPauseStartsAnother)
{
    struct Run {
        const char* what;
        std::function<void(Undo&)> step;
        std::function<int(const MyDocument&)> value;
    };
    const Run runs[] = {
        {"depth", [](Undo& t) { t.trigger(Command::IncDepth); },
         [](const MyDocument& doc) { return doc.model().horizontalOffset(); }},
        {"vertical", [](Undo& t) { t.trigger(Command::DecVerticalOffset); },
         [](const MyDocument& doc) { return doc.model().verticalOffset(); }},
        {"pin arrow", [](Undo& t) { QTest::keyClick(t.d->leftImage(), Qt::Key_Right); },
         [](const MyDocument& doc) { return int(doc.leftImage()->pinPoint().x); }},
    };
    d->tabView()->setCurrentIndex(0);
    for (const Run& run : runs) {
        d->undoStack()->clear();
        const int start = run.value(*d);
        for (int i = 0; i < 4; ++i)
            run.step(*this);
        const int held = run.value(*d);
        ASSERT_EQ(std::abs(held - start), 4) << run.what;
        EXPECT_EQ(d->undoStack()->count(), 1) << run.what;
        QTest::qWait(900);
        run.step(*this);
        EXPECT_EQ(d->undoStack()->count(), 2) << run.what;
        trigger(Command::Undo);
        EXPECT_EQ(run.value(*d), held) << run.what;
        trigger(Command::Undo);
        EXPECT_EQ(run.value(*d), start) << run.what;
    }
    // Depth and vertical steps in turn stay apart, as do two clicks.
    d->undoStack()->clear();
    trigger(Command::IncDepth);
    trigger(Command::IncVerticalOffset);
    const QPoint centre = d->leftImage()->rect().center();
    QTest::mouseClick(d->leftImage(), Qt::LeftButton, {}, centre + QPoint(-10, -5));
    QTest::mouseClick(d->leftImage(), Qt::LeftButton, {}, centre + QPoint(10, 8));
    EXPECT_EQ(d->undoStack()->count(), 4);
}

TEST_F(Undo, UndoingBackToTheSavedStateClearsTheEditedMark)
{
    d->tabView()->setCurrentIndex(resultTab);
    ASSERT_TRUE(d->writeResult(dir.filePath(QStringLiteral("saved.png")), QStringLiteral("PNG")));
    EXPECT_FALSE(d->isDocumentEdited());
    trigger(Command::IncDepth);
    EXPECT_TRUE(d->isDocumentEdited());
    trigger(Command::Undo);
    EXPECT_FALSE(d->isDocumentEdited());
    // Composing the saved state again is no change.
    d->tabView()->setCurrentIndex(0);
    d->tabView()->setCurrentIndex(resultTab);
    EXPECT_FALSE(d->isDocumentEdited());
    trigger(Command::Redo);
    EXPECT_TRUE(d->isDocumentEdited());
    // Before the saved state and back: edited, then clean again.
    trigger(Command::Undo);
    trigger(Command::Undo);  // the load before the save
    EXPECT_FALSE(d->model().hasResult());
    trigger(Command::Redo);
    EXPECT_FALSE(d->isDocumentEdited());
    // A new change after coming back counts as one.
    trigger(Command::Colorize);
    EXPECT_TRUE(d->isDocumentEdited());
}

TEST_F(Undo, CopyGivesTheTabsPictureAndPasteIsRefusedOnTheResultTab)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    d->tabView()->setCurrentIndex(0);
    trigger(Command::Copy);
    const QImage copied = clipboard->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), QImage(left).convertToFormat(QImage::Format_RGB32));

    QSignalSpy notes(d, &MyDocument::noteShown);
    d->tabView()->setCurrentIndex(resultTab);
    const Snapshot before = snapshot();
    trigger(Command::Paste);
    ASSERT_EQ(notes.count(), 1);
    EXPECT_EQ(notes.at(0).at(0).toString(), localizedString("PasteNeedsPictureTab"));
    EXPECT_EQ(d->undoStack()->count(), 1);  // the load only
    expectSame(snapshot(), before, "paste on the result tab");
}
