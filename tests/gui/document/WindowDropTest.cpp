// Drops on the whole window: the rule for drops outside the picture views,
// picture data as other programs drag it, web addresses refused with a note,
// and the highlight of the view under a drag.
#include "gui/document/WindowDrop.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/DragContents.h"
#include "gui/imageview/ImageView.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

QByteArray pngOf(int wide, int high)
{
    const EncodeResult png = representationUsingType(*test::patternPicture(wide, high), FileType::PNG, {});
    return QByteArray(reinterpret_cast<const char*>(png.data.data()), qsizetype(png.data.size()));
}

QByteArray jpegOf(int wide, int high)
{
    const EncodeResult jpeg = representationUsingType(*test::patternPicture(wide, high), FileType::JPEG, {});
    return QByteArray(reinterpret_cast<const char*>(jpeg.data.data()), qsizetype(jpeg.data.size()));
}

class WindowDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        write(QStringLiteral("a.png"), pngOf(30, 20));
        write(QStringLiteral("b.png"), pngOf(40, 20));
        write(QStringLiteral("frame.jps"), pngOf(80, 20));
        document = controller.openUntitledDocument(false);
    }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QUrl file(const char* name) const { return QUrl::fromLocalFile(dir.filePath(QString::fromLatin1(name))); }

    static QSize sizeOf(const ImageView* view)
    {
        return view->image() ? QSize(view->image()->pixelsWide(), view->image()->pixelsHigh()) : QSize();
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
};

TEST_F(WindowDropTest, TheRuleForDropsOutsideThePictureViews)
{
    const QUrl web(QStringLiteral("https://example.org/photo.jpg"));
    struct Case {
        const char* what;
        QList<QUrl> urls;
        const char* dataType;
        WindowDrop::Kind kind;
        const char* left;
        const char* right;
    };
    const Case cases[] = {
        {"one picture", {file("a.png")}, nullptr, WindowDrop::Kind::LeftFile, "a.png", ""},
        {"two pictures", {file("a.png"), file("b.png")}, nullptr, WindowDrop::Kind::Pair, "a.png", "b.png"},
        {"three: the first two", {file("b.png"), file("a.png"), file("frame.jps")}, nullptr, WindowDrop::Kind::Pair, "b.png", "a.png"},
        {"a stereo file", {file("frame.jps")}, nullptr, WindowDrop::Kind::Pair, "frame.jps", "frame.jps"},
        {"a stereo file first", {file("frame.jps"), file("a.png")}, nullptr, WindowDrop::Kind::Pair, "frame.jps", "frame.jps"},
        {"PNG data", {}, "image/png", WindowDrop::Kind::LeftPictureData, "", ""},
        {"JPEG data from a browser", {web}, "image/jpeg", WindowDrop::Kind::LeftPictureData, "", ""},
        {"TIFF data", {}, "image/tiff", WindowDrop::Kind::LeftPictureData, "", ""},
        {"two files win over data", {file("a.png"), file("b.png")}, "image/png", WindowDrop::Kind::Pair, "a.png", "b.png"},
        {"a web address only", {web}, nullptr, WindowDrop::Kind::WebRefused, "", ""},
        {"plain http too", {QUrl(QStringLiteral("http://example.org/x.png"))}, nullptr, WindowDrop::Kind::WebRefused, "", ""},
        {"another scheme", {QUrl(QStringLiteral("ftp://example.org/x.png"))}, nullptr, WindowDrop::Kind::Refused, "", ""},
        {"web and a file: the file", {web, file("a.png")}, nullptr, WindowDrop::Kind::LeftFile, "a.png", ""},
        {"nothing", {}, nullptr, WindowDrop::Kind::Refused, "", ""},
    };
    for (const Case& c : cases) {
        QMimeData data;
        if (!c.urls.isEmpty())
            data.setUrls(c.urls);
        if (c.dataType)
            data.setData(QLatin1String(c.dataType), "bytes");
        const WindowDrop drop = WindowDrop::plan(DragContents(&data));
        EXPECT_EQ(drop.kind, c.kind) << c.what;
        auto expected = [&](const char* name) { return *name ? dir.filePath(QString::fromLatin1(name)) : QString(); };
        EXPECT_EQ(drop.left, expected(c.left)) << c.what;
        EXPECT_EQ(drop.right, expected(c.right)) << c.what;
    }
}

TEST_F(WindowDropTest, DropsOnTheWindowFillTheLeftOrBothViews)
{
    // A drag that reaches the window, as one outside the picture views does;
    // the drop goes where the drag was taken.
    auto dropOnWindow = [&](QMimeData& data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(document, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(document, &drop);
        EXPECT_TRUE(test::waitForLoads(*document));
        return drop.isAccepted();
    };
    QMimeData stereo;
    stereo.setUrls({file("frame.jps")});
    EXPECT_TRUE(dropOnWindow(stereo));
    EXPECT_EQ(sizeOf(document->leftImage()), QSize(40, 20));
    EXPECT_EQ(sizeOf(document->rightImage()), QSize(40, 20));
    EXPECT_EQ(document->rightImage()->image()->colorAt(0, 0).red, 40 / 255.0);

    QMimeData two;
    two.setUrls({file("b.png"), file("a.png")});
    EXPECT_TRUE(dropOnWindow(two));
    EXPECT_EQ(sizeOf(document->leftImage()), QSize(40, 20));
    EXPECT_EQ(sizeOf(document->rightImage()), QSize(30, 20));

    QMimeData jpeg;
    jpeg.setData(QStringLiteral("image/jpeg"), jpegOf(24, 12));
    EXPECT_TRUE(dropOnWindow(jpeg));
    EXPECT_EQ(sizeOf(document->leftImage()), QSize(24, 12));
    EXPECT_EQ(sizeOf(document->rightImage()), QSize(30, 20));

    QSignalSpy notes(document, &MyDocument::noteShown);
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/photo.jpg"))});
    EXPECT_FALSE(dropOnWindow(web));
    ASSERT_EQ(notes.count(), 1);
    EXPECT_TRUE(notes.at(0).at(0).toString().contains(QStringLiteral("web")));
    EXPECT_EQ(sizeOf(document->leftImage()), QSize(24, 12));
}

TEST_F(WindowDropTest, AViewTakesPictureDataAndLightsUpWhileADragIsOverIt)
{
    ImageView* view = document->rightImage();
    QMimeData png;
    png.setData(QStringLiteral("image/png"), pngOf(12, 34));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &png, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_TRUE(view->isDropHighlighted());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(view, &leave);
    EXPECT_FALSE(view->isDropHighlighted());

    QCoreApplication::sendEvent(view, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &png, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &drop);
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_FALSE(view->isDropHighlighted());
    EXPECT_EQ(sizeOf(view), QSize(12, 34));

    // A web address is not the view's: it is left to the window, which says why.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/photo.jpg"))});
    QDragEnterEvent webEnter(QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, &web, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &webEnter);
    EXPECT_FALSE(webEnter.isAccepted());
    EXPECT_FALSE(view->isDropHighlighted());

    // An undecodable drop empties the view and is reported.
    QSignalSpy notes(document, &MyDocument::noteShown);
    QMimeData junk;
    junk.setData(QStringLiteral("image/png"), "not a picture");
    QDragEnterEvent junkEnter(QPoint(5, 5), Qt::CopyAction, &junk, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &junkEnter);
    QDropEvent junkDrop(QPointF(5, 5), Qt::CopyAction, &junk, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &junkDrop);
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_EQ(view->image(), nullptr);
    EXPECT_EQ(notes.count(), 1);
}

}  // namespace
