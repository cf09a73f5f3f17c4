// File > Page Setup and File > Print Preview: one printer set-up for the
// session, which the preview and Print both use, and a preview of one page.
#include "GuiTestSupport.h"

#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/DocumentPrinting.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

class PrintPreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        sharedPrinter().setPageOrientation(QPageLayout::Portrait);
        document = controller.openUntitledDocument();
        QApplication::setActiveWindow(document);
        ASSERT_TRUE(QTest::qWaitForWindowActive(document));
    }

    void TearDown() override
    {
        sharedPrinter().setPageOrientation(QPageLayout::Portrait);
        for (MyDocument* d : controller.documents())
            delete d;
    }

    // Runs Page Setup, choosing landscape or portrait in it, and accepts or cancels.
    void runPageSetup(bool landscape, bool accept)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* panel = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(panel, nullptr);
            seen = true;
            EXPECT_EQ(panel->parentWidget(), document);
            EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
            auto* choice = panel->findChild<QRadioButton*>(landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
            ASSERT_NE(choice, nullptr);
            choice->click();
            if (accept)
                panel->accept();
            else
                panel->reject();
        });
        document->action(Command::PageSetup)->trigger();
        EXPECT_TRUE(seen);
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
};

TEST_F(PrintPreviewTest, PageSetupIsKeptForEveryWindowOfTheSession)
{
    runPageSetup(true, true);
    EXPECT_EQ(sharedPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    runPageSetup(false, false);  // cancelled: nothing changes
    EXPECT_EQ(sharedPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(document->printing().pageSetupPanel(), nullptr);
}

TEST_F(PrintPreviewTest, ThePreviewShowsTheOnePageThatPrintPrints)
{
    document->updateActions();
    EXPECT_FALSE(document->action(Command::PrintPreview)->isEnabled());  // nothing to print yet
    document->leftImage()->setImage(test::patternPicture(400, 200));
    document->updateActions();
    ASSERT_TRUE(document->action(Command::PrintPreview)->isEnabled());

    runPageSetup(true, true);
    document->action(Command::PrintPreview)->trigger();
    QPrintPreviewDialog* panel = document->printing().previewPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    EXPECT_EQ(panel->printer(), &sharedPrinter());
    QPrinter* painted = nullptr;
    QObject::connect(panel, &QPrintPreviewDialog::paintRequested, [&](QPrinter* p) { painted = p; });
    auto* preview = panel->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    preview->updatePreview();
    EXPECT_EQ(painted, &sharedPrinter());
    EXPECT_EQ(preview->pageCount(), 1);
    EXPECT_EQ(preview->orientation(), QPageLayout::Landscape);

    // Asked again, the preview that is up comes to the front.
    document->action(Command::PrintPreview)->trigger();
    EXPECT_EQ(document->printing().previewPanel(), panel);
    panel->close();
}

}  // namespace
