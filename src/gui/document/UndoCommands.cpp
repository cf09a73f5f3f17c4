#include "gui/document/UndoCommands.h"

#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

namespace korvex {

namespace {

// Longer than a held key's first repeat, shorter than two deliberate presses.
constexpr qint64 mergeWindowMs = 800;

}  // namespace

StateCommand::StateCommand(MyDocument& document, const QString& text, int mergeId, const DocumentState& before,
                           const DocumentState& after)
    : QUndoCommand(text), document_(document), mergeId_(mergeId), before_(before), after_(after)
{
    sinceLastStep_.start();
}

void StateCommand::undo()
{
    document_.model().restoreState(before_);
    document_.stateRestored();
}

void StateCommand::redo()
{
    if (done_) {
        document_.model().restoreState(after_);
        document_.stateRestored();
    }
    done_ = true;
}

bool StateCommand::mergeWith(const QUndoCommand* other)
{
    // Only steps of the same id come here, and only state steps have ids.
    if (sinceLastStep_.elapsed() > mergeWindowMs)
        return false;
    after_ = static_cast<const StateCommand*>(other)->after_;
    sinceLastStep_.restart();
    return true;
}

PictureCommand::PictureCommand(MyDocument& document, const std::vector<ImageView*>& views, const QString& text)
    : QUndoCommand(text), document_(document), state_(document.model().state())
{
    for (ImageView* view : views)
        kept_.push_back({view, view->imageAndDetach()});
}

void PictureCommand::redo()
{
    if (done_)
        exchange();
    done_ = true;
}

void PictureCommand::exchange()
{
    for (Kept& kept : kept_) {
        std::unique_ptr<Bitmap> present = kept.view->imageAndDetach();
        kept.view->setImage(std::move(kept.bitmap));
        kept.bitmap = std::move(present);
    }
    StereoDocument& model = document_.model();
    const DocumentState present = model.state();
    // The pictures changed even when the state did not: compose either way, once.
    model.setChanged(true);
    model.restoreState(state_);
    state_ = present;
    document_.picturesRestored();
}

SwapCommand::SwapCommand(MyDocument& document, const QString& text) : QUndoCommand(text), document_(document) {}

void SwapCommand::undo()
{
    document_.model().switchPictures();
    document_.stateRestored();
}

void SwapCommand::redo()
{
    if (done_) {
        document_.model().switchPictures();
        document_.stateRestored();
    }
    done_ = true;
}

}  // namespace korvex
