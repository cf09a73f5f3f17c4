#include "gui/imageview/ImageView.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace korvex {
namespace {

const QString tiff = QStringLiteral("image/tiff");

QString sample(const char* name)
{
    return QStringLiteral(KORVEX_SAMPLE_DIR "/") + QString::fromUtf8(name);
}

QByteArray tiffBytes()
{
    QFile file(QStringLiteral(KORVEX_TEST_DATA_DIR "/corpus/tiff/no_compress.tiff"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

std::unique_ptr<QMimeData> files(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

QSize pictureSize(const ImageView& view)
{
    const Size s = view.store().size();
    return {int(s.width), int(s.height)};
}

TEST(ImageViewDropTest, JudgesDragsByTypeAndOfferedAction)
{
    QMimeData picture;
    picture.setData(tiff, tiffBytes());
    const auto file = files({sample("aloeL.jpg")});
    QMimeData both;
    both.setData(tiff, tiffBytes());
    both.setUrls({QUrl::fromLocalFile(sample("aloeL.jpg"))});
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.png"))});
    QMimeData text;
    text.setText(QStringLiteral("hello"));

    const Qt::DropActions all = Qt::CopyAction | Qt::LinkAction | Qt::MoveAction;
    EXPECT_EQ(ImageView::draggingEntered(&picture, all), Qt::CopyAction);
    EXPECT_EQ(ImageView::draggingEntered(&picture, Qt::LinkAction | Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(ImageView::draggingEntered(file.get(), all), Qt::LinkAction);
    EXPECT_EQ(ImageView::draggingEntered(file.get(), Qt::CopyAction), Qt::CopyAction);
    EXPECT_EQ(ImageView::draggingEntered(file.get(), Qt::MoveAction), Qt::IgnoreAction);
    // Picture data comes first when it can be taken.
    EXPECT_EQ(ImageView::draggingEntered(&both, all), Qt::CopyAction);
    EXPECT_EQ(ImageView::draggingEntered(&both, Qt::LinkAction), Qt::LinkAction);
    EXPECT_EQ(ImageView::draggingEntered(&web, all), Qt::IgnoreAction);
    EXPECT_EQ(ImageView::draggingEntered(&text, all), Qt::IgnoreAction);
    EXPECT_EQ(ImageView::draggingEntered(nullptr, all), Qt::IgnoreAction);
}

TEST(ImageViewDropTest, TakesPictureDataOrTheFirstFileWhole)
{
    ImageView view;
    view.setType(LeftRole);
    QSignalSpy changed(&view, &ImageView::imageHasChanged);

    QMimeData picture;
    picture.setData(tiff, tiffBytes());
    picture.setUrls({QUrl::fromLocalFile(sample("aloeL.jpg"))});
    EXPECT_TRUE(view.performDragOperation(&picture));
    ASSERT_NE(view.image(), nullptr);
    const QSize tiffSize = pictureSize(view);
    EXPECT_EQ(tiffSize, QSize(16, 15));
    EXPECT_EQ(view.pinPoint(), (Point{tiffSize.width() / 2.0, tiffSize.height() / 2.0}));
    EXPECT_EQ(changed.count(), 1);

    const auto three = files({sample("motorcycle_left.png"), sample("aloeL.jpg"), sample("aloeR.jpg")});
    EXPECT_TRUE(view.performDragOperation(three.get()));
    EXPECT_EQ(pictureSize(view), QSize(741, 500));
    EXPECT_EQ(changed.count(), 2);

    // A stereo file's name does not split a drop.
    QTemporaryDir dir;
    const QString pair = dir.filePath(QStringLiteral("pair.jps"));
    ASSERT_TRUE(QFile::copy(sample("aloeL.jpg"), pair));
    EXPECT_TRUE(view.performDragOperation(files({pair}).get()));
    EXPECT_EQ(pictureSize(view), QSize(1282, 1110));
    EXPECT_EQ(changed.count(), 3);
}

TEST(ImageViewDropTest, UnreadableAndUndecodableFiles)
{
    ImageView view;
    view.setType(RightRole);
    QSignalSpy changed(&view, &ImageView::imageHasChanged);
    ASSERT_TRUE(view.performDragOperation(files({sample("motorcycle_right.png")}).get()));
    ASSERT_EQ(changed.count(), 1);

    // A file that cannot be read changes nothing, yet the drop is taken.
    QTemporaryDir dir;
    EXPECT_TRUE(view.performDragOperation(files({dir.filePath(QStringLiteral("missing.png"))}).get()));
    EXPECT_EQ(pictureSize(view), QSize(741, 500));
    EXPECT_EQ(changed.count(), 1);

    // One that reads but does not decode empties the view and says so.
    const QString junk = dir.filePath(QStringLiteral("junk.png"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();
    EXPECT_TRUE(view.performDragOperation(files({junk}).get()));
    EXPECT_EQ(view.image(), nullptr);
    EXPECT_EQ(view.pinPoint(), (Point{0, 0}));
    EXPECT_EQ(changed.count(), 2);
}

TEST(ImageViewDropTest, DropEventsReachTheView)
{
    ImageView view;
    view.setType(LeftRole);
    view.allowDrop(true);
    EXPECT_TRUE(view.acceptDrops());
    QSignalSpy changed(&view, &ImageView::imageHasChanged);
    const auto file = files({sample("motorcycle_left.png")});

    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, file.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(&view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::LinkAction);

    QMimeData text;
    text.setText(QStringLiteral("x"));
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&view, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::LinkAction, file.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(&view, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(pictureSize(view), QSize(741, 500));
    EXPECT_EQ(changed.count(), 1);

    // The result view takes no drops.
    ImageView result;
    result.allowDrop(false);
    EXPECT_FALSE(result.acceptDrops());
}

}  // namespace
}  // namespace korvex
