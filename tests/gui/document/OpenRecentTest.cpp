// File > Open Recent: what is remembered and in which order, the menu it
// makes, reopening a picture or a pair, a file that has gone, Clear Menu.
#include "GuiTestSupport.h"

#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "core/recent/RecentDocuments.h"
#include "gui/app/ApplicationHandler.h"
#include "gui/common/Strings.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

class OpenRecentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        // Sizes tell the pictures apart once loaded.
        left = writePicture(QStringLiteral("left.png"), 40, 30);
        right = writePicture(QStringLiteral("right.png"), 50, 30);
        other = writePicture(QStringLiteral("R&D other.png"), 60, 30);
        stereo = writePicture(QStringLiteral("pair.jps"), 80, 30);
    }

    void TearDown() override
    {
        for (MyDocument* d : controller.documents())
            delete d;
    }

    QString writePicture(const QString& name, int wide, int high)
    {
        return test::writePatternPng(dir.filePath(name), wide, high);
    }

    static std::string native(const QString& path) { return QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString(); }

    std::vector<RecentDocument> recent() { return RecentDocuments(defaults).entries(); }

    MyDocument* activeDocument()
    {
        MyDocument* d = controller.openUntitledDocument();
        d->show();
        QApplication::setActiveWindow(d);
        EXPECT_TRUE(QTest::qWaitForWindowActive(d));
        return d;
    }

    static QMenu* openRecentMenu(MyDocument* d)
    {
        for (QAction* menu : d->menuBar()->actions())
            if (menu->menu())
                for (QAction* item : menu->menu()->actions())
                    if (item->menu() && item->text() == localizedString("MenuOpenRecentTitle"))
                        return item->menu();
        return nullptr;
    }

    // The Open Recent items as the menu shows them when it opens.
    static QList<QAction*> recentItems(MyDocument* d)
    {
        QMenu* menu = openRecentMenu(d);
        emit menu->aboutToShow();
        QList<QAction*> items;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a != d->action(Command::ClearRecent))
                items << a;
        return items;
    }

    static int pictureWidth(ImageView* view) { return view->image() ? int(view->store().size().width) : 0; }

    QTemporaryDir dir;
    QString left, right, other, stereo;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    ApplicationHandler handler{controller};
};

TEST_F(OpenRecentTest, RemembersEachWayOfOpeningNewestFirst)
{
    MyDocument* d = activeDocument();
    d->loadPair(left, right);
    ASSERT_TRUE(test::waitForLoads(*d));
    d->loadRight(other);
    ASSERT_TRUE(test::waitForLoads(*d));
    d->loadLeft(dir.filePath(QStringLiteral("not there.png")));  // a failed load is not remembered
    ASSERT_TRUE(test::waitForLoads(*d));
    d->openFileDidEnd(true, {stereo}, d->leftImage());           // a stereo file fills both views
    ASSERT_TRUE(test::waitForLoads(*d));
    controller.openDocumentWithContentsOfFile(left);             // from the file manager
    ASSERT_TRUE(test::waitForLoads(controller));
    d->loadPair(left, right);                                    // again: moves to the top
    ASSERT_TRUE(test::waitForLoads(*d));

    const std::vector<RecentDocument> expected = {
        {native(left), native(right)},
        {native(left), ""},
        {native(stereo), native(stereo)},
        {"", native(other)},
    };
    EXPECT_EQ(recent(), expected);

    QStringList texts;
    for (QAction* item : recentItems(d))
        texts << item->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&1 left.png + right.png"), QStringLiteral("&2 left.png"),
                                  QStringLiteral("&3 pair.jps"), QStringLiteral("&4 R&&D other.png (right)")}));
    EXPECT_EQ(recentItems(d).at(0)->toolTip(), QFileInfo(left).absoluteFilePath() + QLatin1Char('\n')
                                                    + QFileInfo(right).absoluteFilePath());
}

TEST_F(OpenRecentTest, APairReopensAsAPairInAnEmptyWindowOrANewOne)
{
    MyDocument* first = activeDocument();
    first->loadPair(left, right);
    ASSERT_TRUE(test::waitForLoads(*first));
    first->loadRight(other);
    ASSERT_TRUE(test::waitForLoads(*first));
    first->close();
    QCoreApplication::processEvents();

    // An empty window in front takes the pair.
    MyDocument* empty = activeDocument();
    const int windows = int(controller.documents().size());
    recentItems(empty).at(1)->trigger();
    ASSERT_TRUE(test::waitForLoads(controller));
    EXPECT_EQ(int(controller.documents().size()), windows);
    EXPECT_EQ(pictureWidth(empty->leftImage()), 40);
    EXPECT_EQ(pictureWidth(empty->rightImage()), 50);
    EXPECT_FALSE(empty->isDocumentEdited());

    // A window with pictures keeps them; the right picture opens in a new one, on its side.
    recentItems(empty).at(1)->trigger();  // now the right picture's entry
    ASSERT_TRUE(test::waitForLoads(controller));
    ASSERT_EQ(int(controller.documents().size()), windows + 1);
    MyDocument* fresh = controller.documents().last();
    EXPECT_EQ(pictureWidth(fresh->leftImage()), 0);
    EXPECT_EQ(pictureWidth(fresh->rightImage()), 60);
    EXPECT_EQ(pictureWidth(empty->rightImage()), 50);

    // A stereo file reopens split into both views.
    empty->openFileDidEnd(true, {stereo}, empty->leftImage());
    ASSERT_TRUE(test::waitForLoads(*empty));
    MyDocument* split = activeDocument();
    recentItems(split).at(0)->trigger();
    ASSERT_TRUE(test::waitForLoads(controller));
    EXPECT_EQ(pictureWidth(split->leftImage()), 40);
    EXPECT_EQ(pictureWidth(split->rightImage()), 40);
}

TEST_F(OpenRecentTest, AFileThatHasGoneLeavesTheListWithAMessage)
{
    MyDocument* d = activeDocument();
    d->loadPair(left, right);
    ASSERT_TRUE(test::waitForLoads(*d));
    d->loadLeft(other);
    ASSERT_TRUE(test::waitForLoads(*d));
    ASSERT_TRUE(QFile::remove(right));
    const int windows = int(controller.documents().size());

    recentItems(d).at(1)->trigger();  // the pair, whose right picture has gone

    ASSERT_TRUE(test::waitForLoads(controller));
    EXPECT_EQ(int(controller.documents().size()), windows);
    EXPECT_EQ(pictureWidth(d->leftImage()), 60);  // the window keeps what it had
    EXPECT_EQ(pictureWidth(d->rightImage()), 50);
    EXPECT_EQ(recent(), (std::vector<RecentDocument>{{native(other), ""}}));
    auto* message = d->findChild<QMessageBox*>(QStringLiteral("recentMissing"));
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().contains(QStringLiteral("right.png")));
    EXPECT_EQ(message->windowModality(), Qt::WindowModal);
    message->close();
}

TEST_F(OpenRecentTest, ClearMenuEmptiesTheListEverywhere)
{
    MyDocument* d = activeDocument();
    d->updateActions();
    EXPECT_FALSE(d->action(Command::ClearRecent)->isEnabled());
    d->loadLeft(left);
    ASSERT_TRUE(test::waitForLoads(*d));
    d->updateActions();
    EXPECT_TRUE(d->action(Command::ClearRecent)->isEnabled());
    MyDocument* other = activeDocument();
    EXPECT_EQ(recentItems(other).size(), 1);

    d->action(Command::ClearRecent)->trigger();
    EXPECT_TRUE(recent().empty());
    EXPECT_TRUE(recentItems(other).isEmpty());
    EXPECT_TRUE(recentItems(d).isEmpty());
    EXPECT_FALSE(d->action(Command::ClearRecent)->isEnabled());
}

}  // namespace
