// Auto Align from the window: the search runs off the window's thread, a new
// load drops it, and the correction commands and the preference are items
// of the Stereo menu.
#include "gui/document/AutoAligner.h"

#include "GuiTestSupport.h"

#include "core/compose/MemoryDefaults.h"
#include "gui/document/CommandTable.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QAction>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

const QString sampleLeft = QStringLiteral(KORVEX_SAMPLE_DIR "/aloeL.jpg");
const QString sampleRight = QStringLiteral(KORVEX_SAMPLE_DIR "/aloeR.jpg");

class AutoAlignWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        document = controller.openUntitledDocument(false);
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
};

TEST_F(AutoAlignWindow, AlignsTheSamplePairOffTheWindowsThreadAndSaysHowItWent)
{
    document->loadPair(sampleLeft, sampleRight);
    ASSERT_TRUE(test::waitForLoads(*document));
    QAction* autoAlign = document->action(Command::AutoAlign);
    ASSERT_TRUE(autoAlign->isEnabled());
    EXPECT_TRUE(autoAlign->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)));

    QSignalSpy finished(&document->autoAligner(), &AutoAligner::finished);
    autoAlign->trigger();
    // The trigger returns at once, with the search still running.
    EXPECT_TRUE(document->autoAligner().isRunning());
    EXPECT_EQ(document->statusBar()->currentMessage(), QStringLiteral("Aligning…"));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(finished.first().first().toBool());

    const PairPlacement placed = document->model().placement();
    EXPECT_NEAR(placed.correction.rotationDegrees, 0.0, 0.2);
    EXPECT_GT(placed.horizontalOffset, 0);  // the nearest leaf comes forward to the screen
    EXPECT_EQ(placed.leftPin, (Point{641, 555}));
    EXPECT_TRUE(document->statusBar()->currentMessage().startsWith(QStringLiteral("Aligned: rotation ")))
        << document->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(document->action(Command::ClearCorrection)->isEnabled(), !placed.correction.isIdentity());
}

TEST_F(AutoAlignWindow, ANewLoadDropsARunningSearch)
{
    document->loadPair(sampleLeft, sampleRight);
    ASSERT_TRUE(test::waitForLoads(*document));
    QSignalSpy finished(&document->autoAligner(), &AutoAligner::finished);
    document->action(Command::AutoAlign)->trigger();
    document->loadPair(sampleLeft, sampleRight);
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_FALSE(document->autoAligner().isRunning());
    EXPECT_FALSE(finished.wait(3000));
    EXPECT_EQ(document->model().placement().horizontalOffset, 0);
    EXPECT_TRUE(document->model().rightCorrection().isIdentity());
}

TEST_F(AutoAlignWindow, PairsThatCannotBeAlignedChangeNothingAndSayWhy)
{
    document->loadPair(QStringLiteral(KORVEX_SAMPLE_DIR "/motorcycle_left.png"), sampleRight);
    ASSERT_TRUE(test::waitForLoads(*document));
    document->model().setAlignment(3, -2);
    const PairPlacement before = document->model().placement();
    QSignalSpy finished(&document->autoAligner(), &AutoAligner::finished);
    document->action(Command::AutoAlign)->trigger();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(finished.first().first().toBool());
    EXPECT_EQ(document->model().placement(), before);
    EXPECT_TRUE(document->statusBar()->currentMessage().startsWith(QStringLiteral("Could not align: ")))
        << document->statusBar()->currentMessage().toStdString();
}

TEST_F(AutoAlignWindow, TurnAndClearTheRightPictureFromTheMenu)
{
    EXPECT_FALSE(document->action(Command::RotateRightClockwise)->isEnabled());
    document->loadPair(sampleLeft, sampleRight);
    ASSERT_TRUE(test::waitForLoads(*document));
    document->updateActions();
    EXPECT_FALSE(document->action(Command::ClearCorrection)->isEnabled());
    document->action(Command::RotateRightClockwise)->trigger();
    document->action(Command::RotateRightClockwise)->trigger();
    document->action(Command::RotateRightCounterclockwise)->trigger();
    EXPECT_DOUBLE_EQ(document->model().rightCorrection().rotationDegrees, 0.1);
    EXPECT_TRUE(document->action(Command::ClearCorrection)->isEnabled());
    document->action(Command::ClearCorrection)->trigger();
    EXPECT_TRUE(document->model().rightCorrection().isIdentity());
    EXPECT_FALSE(document->action(Command::ClearCorrection)->isEnabled());
    // A new load forgets the correction of the pair before.
    document->action(Command::RotateRightClockwise)->trigger();
    document->loadPair(sampleLeft, sampleRight);
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_TRUE(document->model().rightCorrection().isIdentity());
}

TEST_F(AutoAlignWindow, ThePreferenceAlignsEveryPairOnLoad)
{
    QAction* onLoad = document->action(Command::AlignOnLoad);
    EXPECT_FALSE(onLoad->isChecked());
    onLoad->trigger();
    EXPECT_TRUE(onLoad->isChecked());
    EXPECT_EQ(defaults.boolForKey(AutoAligner::alignOnLoadKey), true);

    QSignalSpy finished(&document->autoAligner(), &AutoAligner::finished);
    document->loadPair(sampleLeft, sampleRight);
    ASSERT_TRUE(test::waitForLoads(*document));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_GT(document->model().horizontalOffset(), 0);
}

}  // namespace
