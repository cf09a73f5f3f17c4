// Undo and the clipboard: every change a user makes becomes one step on the
// document's stack, and the edited mark follows the stack's saved state.
#include "gui/document/MyDocument.h"

#include "core/bitmap/ImageEncoder.h"
#include "gui/common/Strings.h"
#include "gui/document/AutoAligner.h"
#include "gui/document/DocumentZoom.h"
#include "gui/document/PictureLoading.h"
#include "gui/document/UndoCommands.h"
#include "gui/imageview/ImageView.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QUndoStack>

namespace korvex {

void MyDocument::trackUndoState()
{
    // Pushing leaves the saved state; an undo or redo may come back to it,
    // and then the window is as saved.
    connect(undoStack_, &QUndoStack::indexChanged, this, [this] {
        if (pushing_)
            return;
        matchesSavedState_ = undoStack_->isClean();
        setWindowModified(!matchesSavedState_ && model_->hasResult());
        emit stateChanged();
    });
}

void MyDocument::pushUndo(QUndoCommand* command)
{
    pushing_ = true;
    undoStack_->push(command);
    pushing_ = false;
    matchesSavedState_ = false;
    emit stateChanged();
}

void MyDocument::changeUndoably(const char* nameKey, UndoMerge merge, const std::function<void()>& change)
{
    const DocumentState before = model_->state();
    matchesSavedState_ = false;  // a new change, which may compose and mark the window
    change();
    recordChange(nameKey, before, merge);
}

void MyDocument::recordChange(const char* nameKey, const DocumentState& before, UndoMerge merge)
{
    const DocumentState after = model_->state();
    if (after != before)
        pushUndo(new StateCommand(*this, localizedString(nameKey), int(merge), before, after));
}

void MyDocument::restoreEditedMark(const EditedMark& mark)
{
    matchesSavedState_ = mark.matchesSavedState;
    setWindowModified(mark.shown);
    emit stateChanged();
}

void MyDocument::swapPictures()
{
    matchesSavedState_ = false;
    model_->switchPictures();
    pushUndo(new SwapCommand(*this, localizedString("UndoSwap")));
}

void MyDocument::stateRestored()
{
    // Pins may have moved back.
    leftImage_->update();
    rightImage_->update();
    emit stateChanged();
}

void MyDocument::picturesRestored()
{
    // A search over the pictures that were there is about others now.
    autoAligner_->cancel();
    if (model_->resultVisible())
        model_->recalc();
    stateRestored();
}

void MyDocument::recordViewChanges()
{
    for (ImageView* view : {leftImage_, rightImage_}) {
        // A drop keeps what it replaces; the step is pushed once the picture is in.
        connect(view, &ImageView::imageWillChange, this, [this, view] {
            pendingPictureChange_ = std::make_unique<PictureCommand>(*this, std::vector<ImageView*>{view},
                                                                     localizedString("UndoDrop"));
        });
        connect(view, &ImageView::imageHasChanged, this, [this] {
            if (pendingPictureChange_)
                pushUndo(pendingPictureChange_.release());
        });
        // A run of arrow-key moves merges into one step; every click is its own.
        connect(view, &ImageView::pinWillChange, this, [this, view](bool byKey) {
            pendingPinState_ = model_->state();
            pendingPinMerge_ = !byKey ? UndoMerge::None : view == leftImage_ ? UndoMerge::LeftPin : UndoMerge::RightPin;
        });
        connect(view, &ImageView::pinHasChanged, this, [this] {
            if (pendingPinState_)
                recordChange("UndoPin", *pendingPinState_, pendingPinMerge_);
            pendingPinState_.reset();
        });
    }
}

void MyDocument::finishLoad(std::unique_ptr<QUndoCommand> command, LoadMark mark)
{
    // A loaded picture starts a new alignment, then counts as any other
    // change; composing waits for the change handler, so it happens once.
    model_->setOffsets(0, 0);
    model_->setCorrection({});
    imageHasChanged();
    pushUndo(command.release());
    if (mark == LoadMark::Unedited)
        setDocumentEdited(false);
    autoAligner_->picturesLoaded();
}

void MyDocument::copy()
{
    // The clipboard gets the whole result, as a save would write it.
    if (currentImage_ == resultImage_)
        model_->completeResult();
    const Bitmap* bitmap = currentImage_ ? currentImage_->image() : nullptr;
    if (!bitmap)
        return;
    // Through PNG, which holds every layout a view may have.
    const EncodeResult png = representationUsingType(*bitmap, FileType::PNG, {});
    QImage image;
    if (!png || !image.loadFromData(png.data.data(), int(png.data.size()), "PNG")) {
        showNote(localizedString("CannotCopy"));
        return;
    }
    QGuiApplication::clipboard()->setImage(image);
}

void MyDocument::paste()
{
    if (currentImage_ != leftImage_ && currentImage_ != rightImage_) {
        showNote(localizedString("PasteNeedsPictureTab"));
        return;
    }
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        showNote(localizedString("NothingToPaste"));
        return;
    }
    ImageView* view = currentImage_;
    // Through PNG, as a file would come; both steps off the window's thread.
    loading_->start({view}, {}, [image] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return PictureLoading::one(decodeImage(std::span<const std::uint8_t>(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))));
    }, [this, view](PictureLoading::Pictures pictures) {
        auto command = std::make_unique<PictureCommand>(*this, std::vector<ImageView*>{view}, localizedString("UndoPaste"));
        view->store().setDecodedImage(std::move(pictures.front()));
        zoom_->picturesArrived({view, resultImage_});
        finishLoad(std::move(command));
    });
}

}  // namespace korvex
