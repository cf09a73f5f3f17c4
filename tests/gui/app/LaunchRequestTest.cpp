// What a start of the program opens, its own or one handed over: documents,
// stereo files into both views, a pair, a new window, and unreadable files.
#include "gui/app/LaunchRequest.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

class Launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Windows that earlier tests closed go now, with their dialogs.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        // An 80 x 30 frame: its left half has red 0..39, its right half 40..79.
        const EncodeResult png = representationUsingType(*test::patternPicture(80, 30), FileType::PNG, {});
        for (const char* name : {"frame.png", "frame.jps"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(reinterpret_cast<const char*>(png.data.data()), qint64(png.data.size()));
        }
    }

    void TearDown() override
    {
        for (MyDocument* d : controller.documents())
            delete d;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w))
                delete w;
    }

    std::string path(const char* name) const { return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString(); }

    static QSize sizeOf(const ImageView* view)
    {
        return view->image() ? QSize(view->image()->pixelsWide(), view->image()->pixelsHigh()) : QSize();
    }

    static QStringList messages()
    {
        QStringList texts;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w))
                texts << box->text();
        return texts;
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
};

TEST_F(Launch, AStereoFileFillsBothViewsAPictureTheLeftOne)
{
    OpenRequest request;
    request.documents = {path("frame.jps"), path("frame.png")};
    openLaunchRequest(controller, request);
    ASSERT_TRUE(test::waitForLoads(controller));
    const QList<MyDocument*> opened = controller.documents();
    ASSERT_EQ(opened.size(), 2);

    MyDocument* stereo = opened.at(0);
    EXPECT_EQ(stereo->displayName(), QStringLiteral("frame.jps"));
    EXPECT_EQ(sizeOf(stereo->leftImage()), QSize(40, 30));
    EXPECT_EQ(sizeOf(stereo->rightImage()), QSize(40, 30));
    EXPECT_EQ(stereo->leftImage()->image()->colorAt(0, 0).red, 0.0);
    EXPECT_EQ(stereo->rightImage()->image()->colorAt(0, 0).red, 40 / 255.0);
    EXPECT_TRUE(stereo->model().hasResult());
    // Nothing has been made yet that closing could lose.
    EXPECT_FALSE(stereo->isDocumentEdited());
    EXPECT_TRUE(stereo->filePath().isEmpty());  // a save never writes over the stereo file

    MyDocument* plain = opened.at(1);
    EXPECT_EQ(sizeOf(plain->leftImage()), QSize(80, 30));
    EXPECT_EQ(plain->rightImage()->image(), nullptr);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Launch, APairOneDocumentAndNothingANewWindow)
{
    OpenRequest pair;
    pair.left = path("frame.png");
    pair.right = path("frame.jps");  // named for one side: taken whole is not what --right means
    openLaunchRequest(controller, pair);
    ASSERT_TRUE(test::waitForLoads(controller));
    ASSERT_EQ(controller.documents().size(), 1);
    MyDocument* d = controller.documents().at(0);
    EXPECT_EQ(sizeOf(d->leftImage()), QSize(80, 30));
    EXPECT_EQ(sizeOf(d->rightImage()), QSize(40, 30));
    EXPECT_EQ(d->rightImage()->image()->colorAt(0, 0).red, 40 / 255.0);

    openLaunchRequest(controller, OpenRequest{});
    ASSERT_EQ(controller.documents().size(), 2);
    EXPECT_EQ(controller.documents().at(1)->leftImage()->image(), nullptr);
}

TEST_F(Launch, UnreadableFilesAreReportedInOneMessage)
{
    OpenRequest request;
    request.documents = {path("gone.jpg"), path("gone.mpo"), path("frame.png")};
    openLaunchRequest(controller, request);
    ASSERT_TRUE(test::waitForLoads(controller));
    EXPECT_EQ(controller.documents().size(), 1);
    const QStringList shown = messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.at(0).contains(QStringLiteral("gone.jpg")));
    EXPECT_TRUE(shown.at(0).contains(QStringLiteral("gone.mpo")));
}

TEST(LaunchRequest, PathsBecomeAbsolute)
{
    const QString here = QDir::currentPath();
    const OpenRequest request = launchRequest({QStringLiteral("a.jpg"), QStringLiteral("/abs/b.mpo")},
                                              QStringLiteral("sub/l.png"), QString());
    ASSERT_EQ(request.documents.size(), 2u);
    EXPECT_EQ(QString::fromStdString(request.documents[0]), QDir(here).filePath(QStringLiteral("a.jpg")));
    EXPECT_EQ(request.documents[1], "/abs/b.mpo");
    EXPECT_EQ(QString::fromStdString(request.left), QDir(here).filePath(QStringLiteral("sub/l.png")));
    EXPECT_TRUE(request.right.empty());
}

}  // namespace
