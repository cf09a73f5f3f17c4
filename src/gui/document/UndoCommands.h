#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/compose/DocumentState.h"

#include <QElapsedTimer>
#include <QUndoCommand>

#include <memory>
#include <vector>

namespace korvex {

class ImageView;
class MyDocument;

// The undo steps of a document. Each is pushed after its change has been
// made, so its first redo does nothing; later ones make the change again.

// A change of the settings or the placement (glasses, colour, method,
// mixing, result format, offsets, pins, correction): the state before and
// after. Steps with the same merge id in quick succession, as a held key
// gives them, become one.
class StateCommand : public QUndoCommand {
public:
    StateCommand(MyDocument& document, const QString& text, int mergeId, const DocumentState& before,
                 const DocumentState& after);

    void undo() override;
    void redo() override;
    int id() const override { return mergeId_; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    MyDocument& document_;
    int mergeId_;
    DocumentState before_;
    DocumentState after_;
    QElapsedTimer sinceLastStep_;
    bool done_ = false;
};

// A picture put into one or both views (a load, a drop, a paste): keeps what
// it replaced, the views' pictures and the document's state, and trades them
// back and forth. Made before the change, pushed after it.
class PictureCommand : public QUndoCommand {
public:
    // Takes the views' present pictures away: the change fills them next.
    PictureCommand(MyDocument& document, const std::vector<ImageView*>& views, const QString& text);

    void undo() override { exchange(); }
    void redo() override;

private:
    void exchange();

    struct Kept {
        ImageView* view;
        std::unique_ptr<Bitmap> bitmap;
    };
    MyDocument& document_;
    std::vector<Kept> kept_;
    DocumentState state_;
    bool done_ = false;
};

// The pictures swapped: its own inverse.
class SwapCommand : public QUndoCommand {
public:
    SwapCommand(MyDocument& document, const QString& text);

    void undo() override;
    void redo() override;

private:
    MyDocument& document_;
    bool done_ = false;
};

}  // namespace korvex
