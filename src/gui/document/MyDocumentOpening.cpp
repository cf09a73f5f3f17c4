// The window's opening of pictures: the open panel, loads into one view or
// both, dropped bytes, and what a finished load reports.
#include "gui/document/MyDocument.h"

#include "core/imageview/PicturePairLoader.h"
#include "core/imageview/StereoFile.h"
#include "gui/common/Strings.h"
#include "gui/document/DocumentZoom.h"
#include "gui/document/PictureLoading.h"
#include "gui/document/RecentMenu.h"
#include "gui/document/UndoCommands.h"
#include "gui/imageview/ImageView.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace korvex {

void MyDocument::openLeft()
{
    openFileInView(leftImage_);
}

void MyDocument::openRight()
{
    openFileInView(rightImage_);
}

void MyDocument::openFileInView(ImageView* target)
{
    if (openPanel_)  // one open dialog per window at a time
        return;
    auto* panel = new QFileDialog(this, localizedString("OpenPictures"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    QStringList patterns;
    for (const char* ext : {"jpg", "jpeg", "png", "tiff", "tif", "gif", "jps", "pns", "mpo"}) {
        patterns << QStringLiteral("*.") + QLatin1String(ext);
        patterns << QStringLiteral("*.") + QString::fromLatin1(ext).toUpper();
    }
    panel->setNameFilters({localizedString("PictureFilter").arg(patterns.join(QLatin1Char(' '))), localizedString("AllFiles")});
    panel->setWindowModality(Qt::WindowModal);
    QPointer<ImageView> targetView = target;
    connect(panel, &QFileDialog::finished, this, [this, panel, targetView](int result) {
        openPanel_ = nullptr;
        if (targetView)
            openFileDidEnd(result == QDialog::Accepted, panel->selectedFiles(), targetView);
    });
    openPanel_ = panel;
    panel->open();
}

QFileDialog* MyDocument::openPanel() const
{
    return openPanel_;
}

void MyDocument::openFileDidEnd(bool accepted, const QStringList& files, ImageView* target)
{
    if (!accepted || files.isEmpty())
        return;
    const QString first = files.at(0);
    QString second;
    if (stereoLayoutForPath(QFile::encodeName(first).toStdString()) != StereoLayout::None)
        second = first;  // a stereo file fills both views
    else if (files.size() >= 2)
        second = files.at(1);

    if (second.isEmpty()) {
        loadIntoView(target, first);
    } else if (target == leftImage_) {
        loadPair(first, second);
    } else {
        loadPair(second, first);
    }
    target->update();
}

void MyDocument::loadPair(const QString& leftPath, const QString& rightPath, LoadMark mark)
{
    const QString leftName = QFileInfo(leftPath).fileName(), rightName = QFileInfo(rightPath).fileName();
    const QString name = leftPath == rightPath ? leftName : localizedString("RecentPair").arg(leftName, rightName);
    // Both views at once, on both cores; a stereo file named for both is decoded once.
    auto decode = [left = QFile::encodeName(leftPath).toStdString(), right = QFile::encodeName(rightPath).toStdString()] {
        PicturePairLoader::Pair pair = PicturePairLoader::decode(left, right);
        PictureLoading::Pictures pictures;
        pictures.push_back(std::move(pair.left));
        pictures.push_back(std::move(pair.right));
        return pictures;
    };
    loading_->start({leftImage_, rightImage_}, name, std::move(decode),
                    [this, leftPath, rightPath, mark](PictureLoading::Pictures pictures) {
                        // Both land together, as one step.
                        auto command = std::make_unique<PictureCommand>(
                            *this, std::vector<ImageView*>{leftImage_, rightImage_}, localizedString("UndoLoadPair"));
                        leftImage_->store().setDecodedImage(std::move(pictures[0]));
                        rightImage_->store().setDecodedImage(std::move(pictures[1]));
                        reportLoad(leftImage_, leftPath);
                        reportLoad(rightImage_, rightPath);
                        if (leftImage_->image() && rightImage_->image())
                            rememberOpened(defaults_, leftPath, rightPath);
                        zoom_->picturesArrived({leftImage_, rightImage_, resultImage_});
                        finishLoad(std::move(command), mark);
                    });
}

void MyDocument::loadLeft(const QString& path, LoadMark mark)
{
    loadIntoView(leftImage_, path, mark);
}

void MyDocument::loadRight(const QString& path, LoadMark mark)
{
    loadIntoView(rightImage_, path, mark);
}

void MyDocument::loadIntoView(ImageView* view, const QString& path, LoadMark mark)
{
    auto decode = [file = QFile::encodeName(path).toStdString(), role = view->type()] {
        return PictureLoading::one(PictureStore::decodeFileShare(file, role));
    };
    loading_->start({view}, QFileInfo(path).fileName(), std::move(decode),
                    [this, view, path, mark](PictureLoading::Pictures pictures) {
                        auto command = std::make_unique<PictureCommand>(*this, std::vector<ImageView*>{view},
                                                                        localizedString("UndoLoad"));
                        view->store().setDecodedImage(std::move(pictures.front()));
                        reportLoad(view, path);
                        if (view->image())
                            rememberOpened(defaults_, view == leftImage_ ? path : QString(),
                                           view == leftImage_ ? QString() : path);
                        zoom_->picturesArrived({view, resultImage_});
                        finishLoad(std::move(command), mark);
                    });
}

void MyDocument::decodeDropped(ImageView* view, QByteArray bytes)
{
    loading_->start({view}, {}, [bytes] {
        return PictureLoading::one(decodeImage(std::span<const std::uint8_t>(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))));
    }, [view](PictureLoading::Pictures pictures) { view->adoptDroppedPicture(std::move(pictures.front())); });
}

void MyDocument::reportLoad(ImageView* view, const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const PictureStore& store = view->store();
    if (!store.image())
        showNote(localizedString("CannotOpen").arg(name, QString::fromStdString(store.lastError())));
    else if (!store.lastWarning().empty())
        showNote(localizedString("OpenedWithWarning").arg(name, QString::fromStdString(store.lastWarning())));
}

}  // namespace korvex
