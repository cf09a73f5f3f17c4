// The application controller: forwarding to the active document, menu
// enabling and check marks by tag, the open commands, and the quit review.
#include "gui/app/ApplicationHandler.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/app/Strings.h"
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
        if (pictures >= 2)
            d->loadRight(picture);
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
    auto enabled = [&](int tag) { return handler.validateMenuItem(handler.actionWithTag(tag)); };

    EXPECT_FALSE(enabled(20));
    EXPECT_FALSE(enabled(30));
    EXPECT_FALSE(enabled(34));
    EXPECT_FALSE(enabled(25));
    EXPECT_TRUE(enabled(4));
    EXPECT_TRUE(enabled(10));

    d->loadLeft(picture);
    EXPECT_FALSE(enabled(21));
    EXPECT_FALSE(enabled(33));
    EXPECT_TRUE(enabled(25));

    d->loadRight(picture);
    for (int tag : {20, 21, 30, 31, 32, 33, 34})
        EXPECT_TRUE(enabled(tag)) << tag;

    d->model().set3DGlasses(4);
    handler.validateMenuItems();
    EXPECT_TRUE(handler.actionWithTag(4)->isChecked());
    EXPECT_FALSE(handler.actionWithTag(2)->isChecked());
    EXPECT_FALSE(handler.actionWithTag(10)->isChecked());
    handler.actionWithTag(10)->trigger();
    handler.validateMenuItems();
    EXPECT_TRUE(d->model().colorize());
    EXPECT_TRUE(handler.actionWithTag(10)->isChecked());

    // A glasses item forwards its tag.
    handler.actionWithTag(2)->trigger();
    EXPECT_EQ(d->model().glasses(), 2);

    // The shortcut of a disabled item does nothing either.
    MyDocument* empty = document(0);
    handler.validateMenuItems();
    EXPECT_FALSE(handler.action("incDepth")->isEnabled());
    EXPECT_EQ(handler.keyDocument(), empty);
}

TEST_F(Application, WithoutADocumentInFrontOnlyTheGeneralItemsWork)
{
    MyDocument* d = document(2);
    handler.showAboutPanel();
    QDialog* about = handler.aboutWindow();
    ASSERT_NE(about, nullptr);
    activate(about);
    EXPECT_EQ(handler.keyDocument(), nullptr);
    for (QAction* a : handler.actions()) {
        const int tag = a->data().toInt();
        EXPECT_EQ(handler.validateMenuItem(a), tag == 100 || tag == 101) << a->objectName().toStdString();
    }
    handler.incDepth();
    handler.set3DColor();
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
    EXPECT_NE(d->rightImage()->image(), nullptr);
    EXPECT_EQ(d->leftImage()->image(), nullptr);

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

    handler.action("printDocument")->trigger();
    ASSERT_NE(d->printPanel(), nullptr);
    EXPECT_EQ(d->printPanel()->windowModality(), Qt::WindowModal);
    d->printPanel()->reject();
}
