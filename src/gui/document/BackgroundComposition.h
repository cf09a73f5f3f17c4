#pragma once

#include "core/compose/ReducedCopies.h"
#include "core/compose/ResultRegion.h"
#include "core/compose/ResultComposition.h"
#include "core/compose/StereoDocument.h"
#include "core/tasks/LatestJobWorker.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace korvex {

class ImageView;

// The window's composition: on every change it composes only what the
// result view shows, at the scale it shows it, and draws that at once; the
// whole result follows off the window's thread (cancelled by the next
// change) and replaces it when done. Saving and printing wait for it. The
// pictures' halved copies, which zoomed-out previews read, are made on the
// same thread once per picture.
class BackgroundComposition : public QObject, public CompositionScheduler {
    Q_OBJECT

public:
    BackgroundComposition(StereoDocument& model, ImageView& resultView, QObject* parent = nullptr);
    ~BackgroundComposition() override;

    void compositionRequested() override;
    void finishComposition() override;

    // The preview for the part in sight once more (a scroll or a zoom while
    // the whole result is on its way).
    void refreshPreview();
    // A replaced left or right picture: freed once no work reads it.
    void retire(const std::shared_ptr<Bitmap>& picture);
    bool isComposing() const { return !worker_.isIdle(); }

    // The pixel memory of the preview the view last let go, for the next one
    // (fresh pages would be cleared by the system as the preview is
    // composed, at several times the composition's cost). A preview's image
    // may be dropped on any thread, and after the window.
    class SpareMemory {
    public:
        void put(std::unique_ptr<Bitmap> bitmap);
        std::unique_ptr<Bitmap> take();

    private:
        std::mutex mutex_;
        std::unique_ptr<Bitmap> bitmap_;
    };

signals:
    // The whole result of the latest change is in the result view.
    void resultLanded();

private:
    struct Reduced {
        std::shared_ptr<const ReducedCopies> copies;
        std::uint64_t generation = 0;
    };
    // What the worker hands over, under mailboxMutex_.
    struct Mailbox {
        std::optional<ComposedResult> composed;
        std::uint64_t ticket = 0;
        std::vector<std::pair<int, Reduced>> reduced;  // by role
    };

    void showPreview(const CompositionInputs& inputs);
    const ReducedCopies* reducedFor(int role) const;
    Q_INVOKABLE void land();

    StereoDocument& model_;
    ImageView& resultView_;
    std::uint64_t ticket_ = 0;  // of the latest composition asked for
    bool showingPreview_ = false;
    CompositionInputs pending_;
    std::uint64_t pendingLeft_ = 0, pendingRight_ = 0;  // the pictures' generations in pending_
    Reduced leftReduced_, rightReduced_;
    Reduced workerReduced_[2];  // the worker's own: what it made last, by role - 1
    // The worker's own: the memory of its last stopped composition, for the
    // next (a burst of steps would otherwise have the system clear a whole
    // result's fresh pages at each step, beside the previews).
    std::unique_ptr<Bitmap> workerSpare_;
    std::vector<std::shared_ptr<Bitmap>> retired_;
    RegionScratch previewReads_;  // reused by every preview
    std::shared_ptr<SpareMemory> spareMemory_ = std::make_shared<SpareMemory>();
    std::mutex mailboxMutex_;
    Mailbox mailbox_;
    LatestJobWorker worker_;  // last: its thread stops before the members above go
};

}  // namespace korvex
