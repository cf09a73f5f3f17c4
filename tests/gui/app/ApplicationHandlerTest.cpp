// The application controller: forwarding to the active document, menu
// enabling and check marks by tag, the open commands, and the quit review.
#include "gui/app/ApplicationHandler.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/common/Strings.h"
#include "gui/document/CommandTable.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string_view>

using namespace korvex;

namespace {

void clickButton(QMessageBox* box, const char* key)
{
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons())
        if (button->text() == localizedString(key)) {
            button->click();
            return;
        }
    FAIL() << "no button " << key;
}

// Answers the next application-modal question with the button of `key`.
void answerNextModalQuestion(const char* key)
{
    QTimer::singleShot(0, [key] { clickButton(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()), key); });
}

class Application : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        const EncodeResult png = representationUsingType(*test::patternPicture(40, 30), FileType::PNG, {});
        picture = dir.filePath(QStringLiteral("picture.png"));
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(png.data.data()), qint64(png.data.size()));
    }

    void TearDown() override
    {
        for (MyDocument* d : controller.documents())
            delete d;
    }

    MyDocument* document(int pictures)
    {
        MyDocument* d = controller.openUntitledDocument();
        if (pictures >= 1)
            d->loadLeft(picture);
        EXPECT_TRUE(test::waitForLoads(*d));
        if (pictures >= 2)
            d->loadRight(picture);
        EXPECT_TRUE(test::waitForLoads(*d));
        activate(d);
        return d;
    }

    void activate(QWidget* window)
    {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    QTemporaryDir dir;
    QString picture;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    ApplicationHandler handler{controller};
};

}  // namespace

TEST_F(Application, MenusFollowTheActiveDocumentByTag)
{
    MyDocument* d = document(0);
    EXPECT_EQ(handler.keyDocument(), d);
    // Each tag's rule, through the controller (the active window's document)
    // and through the window's own menu actions.
    auto enabled = [&](Command command) {
        d->updateActions();
        EXPECT_EQ(d->action(command)->isEnabled(), handler.validateMenuItem(command));
        return handler.validateMenuItem(command);
    };
    const Command needBoth[] = {Command::Save, Command::SaveAs, Command::IncDepth, Command::DecDepth,
                                Command::IncVerticalOffset, Command::DecVerticalOffset, Command::ResetAlignment};
    for (Command command : needBoth)
        EXPECT_FALSE(enabled(command));
    EXPECT_FALSE(enabled(Command::Print));
    EXPECT_TRUE(enabled(Command::GlassesGreenRed));
    EXPECT_TRUE(enabled(Command::Colorize));
    EXPECT_TRUE(enabled(Command::SwitchPictures));

    d->loadLeft(picture);
    ASSERT_TRUE(test::waitForLoads(*d));
    for (Command command : needBoth)
        EXPECT_FALSE(enabled(command));
    EXPECT_TRUE(enabled(Command::Print));
    d->tabView()->setCurrentIndex(1);
    EXPECT_FALSE(enabled(Command::Print));  // the right tab has no picture
    d->tabView()->setCurrentIndex(0);

    d->loadRight(picture);
    ASSERT_TRUE(test::waitForLoads(*d));
    for (Command command : needBoth)
        EXPECT_TRUE(enabled(command));

    d->model().set3DGlasses(4);
    d->updateActions();
    EXPECT_TRUE(d->action(Command::GlassesGreenRed)->isChecked());
    EXPECT_FALSE(d->action(Command::GlassesRedCyan)->isChecked());
    EXPECT_FALSE(d->action(Command::Colorize)->isChecked());
    d->action(Command::Colorize)->trigger();
    EXPECT_TRUE(d->model().colorize());
    EXPECT_TRUE(d->action(Command::Colorize)->isChecked());

    // A glasses item passes its tag; the marks follow at once.
    d->action(Command::GlassesRedCyan)->trigger();
    EXPECT_EQ(d->model().glasses(), 2);
    EXPECT_TRUE(d->action(Command::GlassesRedCyan)->isChecked());
    EXPECT_FALSE(d->action(Command::GlassesGreenRed)->isChecked());

    // Through the controller, a command reaches the active window's document only.
    MyDocument* empty = document(0);
    EXPECT_EQ(handler.keyDocument(), empty);
    EXPECT_FALSE(empty->action(Command::IncDepth)->isEnabled());
    activate(d);
    handler.perform(Command::IncDepth);
    EXPECT_EQ(d->model().horizontalOffset(), 1);
    EXPECT_EQ(empty->model().horizontalOffset(), 0);
}

TEST_F(Application, WithoutADocumentInFrontOnlyTheGeneralItemsWork)
{
    MyDocument* d = document(2);
    handler.showAboutPanel();
    QDialog* about = handler.aboutWindow();
    ASSERT_NE(about, nullptr);
    activate(about);
    EXPECT_EQ(handler.keyDocument(), nullptr);
    for (const CommandRow& row : commandTable())
        EXPECT_EQ(handler.validateMenuItem(row.command), row.tag == 100 || row.tag == 101) << row.objectName;
    handler.perform(Command::IncDepth);
    handler.perform(Command::Colorize);
    EXPECT_EQ(d->model().horizontalOffset(), 0);
    EXPECT_FALSE(d->model().colorize());

    // The About window is made once and shown again.
    handler.showAboutPanel();
    EXPECT_EQ(handler.aboutWindow(), about);

    // Open Left with the About window in front makes a document to open into.
    const int before = controller.documents().size();
    handler.openLeft();
    ASSERT_EQ(controller.documents().size(), before + 1);
    MyDocument* made = controller.documents().last();
    ASSERT_NE(made->openPanel(), nullptr);
    EXPECT_TRUE(ApplicationHandler::openLeftSide());
    made->openPanel()->reject();
}

TEST_F(Application, ThePlainOpenCommandKeepsTheLastSide)
{
    MyDocument* d = document(0);
    handler.openRight();
    ASSERT_NE(d->openPanel(), nullptr);
    d->openPanel()->selectFile(picture);
    static_cast<QDialog*>(d->openPanel())->accept();
    ASSERT_TRUE(test::waitForLoads(*d));
    EXPECT_NE(d->rightImage()->image(), nullptr);
    EXPECT_EQ(d->leftImage()->image(), nullptr);

    activate(d);  // the window the closed dialog gave the focus back to
    handler.openDocument();  // still the right side
    EXPECT_FALSE(ApplicationHandler::openLeftSide());
    ASSERT_NE(d->openPanel(), nullptr);
    d->openPanel()->reject();
}

TEST_F(Application, QuittingWithNothingEditedQuitsAtOnce)
{
    document(2)->setDocumentEdited(false);
    EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateNow);
}

TEST_F(Application, OneEditedWindowIsAskedWithoutTheQuestion)
{
    MyDocument* d = document(2);
    QSignalSpy approved(&handler, &ApplicationHandler::terminationApproved);
    EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateLater);
    EXPECT_TRUE(handler.isTerminationPending());
    ASSERT_NE(d->closeSheet(), nullptr);
    EXPECT_EQ(d->closeSheet()->windowModality(), Qt::WindowModal);
    clickButton(d->closeSheet(), "DontSave");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(approved.count(), 1);
    EXPECT_FALSE(handler.isTerminationPending());
}

TEST_F(Application, ThreeEditedWindowsAskFirst)
{
    MyDocument* a = document(2);
    MyDocument* b = document(2);
    MyDocument* c = document(2);

    answerNextModalQuestion("Cancel");
    EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateCancel);
    EXPECT_TRUE(a->isVisible() && b->isVisible() && c->isVisible());

    answerNextModalQuestion("Discard");
    EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateNow);
    EXPECT_EQ(c->closeSheet(), nullptr);  // nobody was asked

    // Review: last window first; Don't Save there, then Cancel on the next.
    QSignalSpy cancelled(&handler, &ApplicationHandler::terminationCancelled);
    answerNextModalQuestion("Review");
    EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateLater);
    ASSERT_NE(c->closeSheet(), nullptr);
    EXPECT_EQ(b->closeSheet(), nullptr);  // one at a time
    clickButton(c->closeSheet(), "DontSave");
    EXPECT_FALSE(c->isVisible());
    ASSERT_NE(b->closeSheet(), nullptr);
    clickButton(b->closeSheet(), "Cancel");
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_FALSE(handler.isTerminationPending());
    EXPECT_TRUE(a->isVisible() && b->isVisible());
    EXPECT_TRUE(a->isDocumentEdited() && b->isDocumentEdited());
    EXPECT_EQ(a->closeSheet(), nullptr);
}

TEST_F(Application, AFailedSaveDuringTheReviewCancelsTheQuit)
{
    MyDocument* d = document(2);
    const QString folder = dir.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(d->writeResult(folder + QStringLiteral("/result.png"), QStringLiteral("PNG")));
    ASSERT_TRUE(QDir(folder).removeRecursively());  // the next save to the same file must fail
    d->model().incDepth();
    d->tabView()->setCurrentIndex(2);
    ASSERT_TRUE(d->isDocumentEdited());

    QSignalSpy cancelled(&handler, &ApplicationHandler::terminationCancelled);
    EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateLater);
    clickButton(d->closeSheet(), "Save");
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->isDocumentEdited());

    // A successful Save closes the window and lets the quit go on.
    ASSERT_TRUE(QDir().mkpath(folder));
    QSignalSpy approved(&handler, &ApplicationHandler::terminationApproved);
    EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateLater);
    clickButton(d->closeSheet(), "Save");
    EXPECT_EQ(approved.count(), 1);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/result.png")));
}

TEST_F(Application, ClosingOneWindowAsksOnlyWhenEdited)
{
    MyDocument* clean = document(0);
    EXPECT_TRUE(clean->close());

    MyDocument* d = document(2);
    EXPECT_FALSE(d->close());
    ASSERT_NE(d->closeSheet(), nullptr);
    clickButton(d->closeSheet(), "Cancel");
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->isDocumentEdited());

    EXPECT_FALSE(d->close());
    clickButton(d->closeSheet(), "DontSave");
    EXPECT_FALSE(d->isVisible());
}

TEST_F(Application, PrintingPrintsTheSelectedTab)
{
    MyDocument* d = document(2);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString left = dir.filePath(QStringLiteral("left.pdf"));
    printer.setOutputFileName(left);
    EXPECT_TRUE(d->printTo(printer));
    EXPECT_GT(QFileInfo(left).size(), 0);

    d->tabView()->setCurrentIndex(2);
    EXPECT_EQ(d->currentImage(), d->resultImage());
    printer.setOutputFileName(dir.filePath(QStringLiteral("result.pdf")));
    EXPECT_TRUE(d->printTo(printer));

    d->action(Command::Print)->trigger();
    ASSERT_NE(d->printPanel(), nullptr);
    EXPECT_EQ(d->printPanel()->windowModality(), Qt::WindowModal);
    d->printPanel()->reject();
}

TEST_F(Application, AQuitFindingTheCloseQuestionUpIsAnsweredByIt)
{
    // A's close button asks first; a quit from B must then wait for that
    // answer and go on, or stop, exactly once.
    for (const char* answer : {"DontSave", "Cancel"}) {
        MyDocument* a = document(2);
        MyDocument* b = document(0);
        EXPECT_FALSE(a->close());
        ASSERT_NE(a->closeSheet(), nullptr);
        activate(b);
        QSignalSpy approved(&handler, &ApplicationHandler::terminationApproved);
        QSignalSpy cancelled(&handler, &ApplicationHandler::terminationCancelled);
        handler.terminate();
        EXPECT_TRUE(handler.isTerminationPending());
        clickButton(a->closeSheet(), answer);
        const bool dontSave = std::string_view(answer) == "DontSave";
        EXPECT_EQ(approved.count(), dontSave ? 1 : 0) << answer;
        EXPECT_EQ(cancelled.count(), dontSave ? 0 : 1) << answer;
        EXPECT_FALSE(handler.isTerminationPending());
        EXPECT_EQ(a->isVisible(), !dontSave);
        if (!dontSave)
            a->closeWithoutAsking();
        b->closeWithoutAsking();
    }
}

TEST_F(Application, SaveDuringTheReviewJoinsASavePanelAlreadyUp)
{
    // Save As is up when the quit asks; Save then waits for that panel, and
    // its outcome settles the quit once: cancelled, then saved.
    for (bool accept : {false, true}) {
        MyDocument* d = document(2);
        d->saveResult();
        ASSERT_NE(d->savePanel(), nullptr);
        QSignalSpy approved(&handler, &ApplicationHandler::terminationApproved);
        QSignalSpy cancelled(&handler, &ApplicationHandler::terminationCancelled);
        EXPECT_EQ(handler.applicationShouldTerminate(), ApplicationHandler::TerminateLater);
        clickButton(d->closeSheet(), "Save");
        EXPECT_EQ(approved.count() + cancelled.count(), 0);  // the panel is still up
        ASSERT_NE(d->savePanel(), nullptr);
        const QString target = dir.filePath(QStringLiteral("joined.png"));
        if (accept) {
            d->savePanel()->selectFile(target);
            static_cast<QDialog*>(d->savePanel())->accept();
        } else {
            d->savePanel()->reject();
        }
        EXPECT_EQ(approved.count(), accept ? 1 : 0);
        EXPECT_EQ(cancelled.count(), accept ? 0 : 1);
        EXPECT_EQ(QFile::exists(target), accept);
        EXPECT_EQ(d->isVisible(), !accept);
        if (!accept)
            d->closeWithoutAsking();
    }
}
