#include "gui/document/BackgroundComposition.h"

#include "core/compose/FrameRegion.h"
#include "core/stereo/StereoFrame.h"
#include "gui/imageview/ImageView.h"

#include "gui/zoom/ZoomScrollView.h"

#include <QMetaObject>
#include <QScrollBar>

namespace korvex {

namespace {

// A preview's bitmap, held by its QImage until the view lets it go.
struct HeldPreview {
    std::unique_ptr<Bitmap> bitmap;
    std::shared_ptr<BackgroundComposition::SpareMemory> spare;
};

// The bitmap's pixels as a QImage that owns the bitmap and, when done with
// it, hands its memory to the next preview.
QImage imageOwning(std::unique_ptr<Bitmap> bitmap, const std::shared_ptr<BackgroundComposition::SpareMemory>& spare)
{
    Bitmap* b = bitmap.get();
    auto* held = new HeldPreview{std::move(bitmap), spare};
    return QImage(
        b->bitmapData(), b->pixelsWide(), b->pixelsHigh(), qsizetype(b->bytesPerRow()), QImage::Format_RGB888,
        [](void* p) {
            std::unique_ptr<HeldPreview> done(static_cast<HeldPreview*>(p));
            done->spare->put(std::move(done->bitmap));
        },
        held);
}

}  // namespace

BackgroundComposition::BackgroundComposition(StereoDocument& model, ImageView& resultView, QObject* parent)
    : QObject(parent), model_(model), resultView_(resultView)
{
    // A scroll or a zoom while the whole result is on its way shows the new part in sight.
    if (ZoomScrollView* scroll = resultView.zoomView()) {
        for (QScrollBar* bar : {scroll->horizontalScrollBar(), scroll->verticalScrollBar()})
            connect(bar, &QScrollBar::valueChanged, this, &BackgroundComposition::refreshPreview);
        connect(scroll, &ZoomScrollView::zoomHasChanged, this, &BackgroundComposition::refreshPreview);
    }
}

void BackgroundComposition::SpareMemory::put(std::unique_ptr<Bitmap> bitmap)
{
    std::lock_guard lock(mutex_);
    bitmap_ = std::move(bitmap);
}

std::unique_ptr<Bitmap> BackgroundComposition::SpareMemory::take()
{
    std::lock_guard lock(mutex_);
    return std::move(bitmap_);
}

BackgroundComposition::~BackgroundComposition()
{
    worker_.cancel();
    worker_.waitUntilIdle();
}

void BackgroundComposition::retire(const std::shared_ptr<Bitmap>& picture)
{
    if (!worker_.isIdle())
        retired_.push_back(picture);
}

const ReducedCopies* BackgroundComposition::reducedFor(int role) const
{
    const PictureStore& store = role == LeftRole ? model_.leftImage() : model_.rightImage();
    const Reduced& reduced = role == LeftRole ? leftReduced_ : rightReduced_;
    return reduced.copies && reduced.generation == store.generation() ? reduced.copies.get() : nullptr;
}

void BackgroundComposition::compositionRequested()
{
    // The previous change's whole result is already out of date: stopped
    // first, it leaves the cores to the preview.
    worker_.cancel();
    pending_ = model_.compositionInputs();
    pendingLeft_ = model_.leftImage().generation();
    pendingRight_ = model_.rightImage().generation();
    const std::uint64_t ticket = ++ticket_;
    showPreview(pending_);

    // The halved copies the previews read, for pictures that have none yet.
    struct Reduce {
        int role;
        const Bitmap* picture;
        std::uint64_t generation;
    };
    std::vector<Reduce> reduce;
    if (!reducedFor(LeftRole))
        reduce.push_back({LeftRole, pending_.left, model_.leftImage().generation()});
    if (!reducedFor(RightRole))
        reduce.push_back({RightRole, pending_.right, model_.rightImage().generation()});

    // While the preview stands in for it, the former whole result is read by
    // nothing (Save, Print and Copy wait for the next): its memory becomes
    // the next canvas, so that two whole results never live at once.
    auto recycled = std::make_shared<std::unique_ptr<Bitmap>>();
    if (resultView_.preview())
        *recycled = resultView_.store().imageAndDetach();

    worker_.post([this, inputs = pending_, ticket, reduce, recycled](std::stop_token stop) {
        // Made once per picture and never stopped by the next step: every
        // preview after it needs them, and a burst of steps would otherwise
        // restart them for ever.
        for (const Reduce& r : reduce) {
            Reduced& made = workerReduced_[r.role - 1];
            if (made.generation != r.generation || !made.copies)
                made = Reduced{ReducedCopies::make(*r.picture), r.generation};
            std::lock_guard lock(mailboxMutex_);
            mailbox_.reduced.push_back({r.role, made});
        }
        ComposedResult composed = composeResultPicture(inputs, stop, *recycled ? std::move(*recycled) : std::move(workerSpare_));
        if (composed.stopped) {
            workerSpare_ = std::move(composed.picture);
        } else {
            std::lock_guard lock(mailboxMutex_);
            mailbox_.composed = std::move(composed);
            mailbox_.ticket = ticket;
        }
        // By name: a functor would be copied here, on this thread, into an
        // object the window's thread reads after Qt's unseen hand-over.
        QMetaObject::invokeMethod(this, "land", Qt::QueuedConnection);
    });
}

void BackgroundComposition::showPreview(const CompositionInputs& inputs)
{
    // The anaglyph and the frames; pair files wait for the whole result.
    const bool anaglyph = inputs.format == StereoFormat::Anaglyph;
    const StereoFrameSize frame = stereoFrameSize(inputs.format, inputs.geometry.pixelsWide(),
                                                  inputs.geometry.pixelsHigh(), inputs.gap);
    if (!(anaglyph || (framesRegions(inputs.format) && frame)) || !inputs.geometry.overlaps()) {
        resultView_.clearPreview();
        return;
    }
    showingPreview_ = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{showingPreview_};
    ResultPreview preview;
    const QSize full = anaglyph ? QSize(inputs.geometry.pixelsWide(), inputs.geometry.pixelsHigh())
                                : QSize(frame.width, frame.height);
    preview.resultSize = Size{double(full.width()), double(full.height())};
    // Laid out for the coming result first, so that what is in sight is known.
    resultView_.showPreview(preview);
    const ViewGeometry g = resultView_.geometry();
    const QRectF target = g.pictureRect();
    const QSize covered = DisplayImage::coveredForZoom(full, g.zoom());
    preview.shownSize = DisplayImage::sizeForZoom(full, g.zoom());
    preview.inViewPixels = g.zoom() < 1.0;
    preview.pictureOrigin = target.topLeft();
    preview.cells = preview.inViewPixels ? ResultPreview::viewPixels(target, resultView_.visibleArea())
                                         : ResultPreview::visibleCells(preview.shownSize, target, resultView_.visibleArea());
    if (preview.cells.isEmpty())
        return;
    const QRectF part = preview.inViewPixels ? ResultPreview::viewPixelsInResult(preview.cells, target, covered)
                                             : ResultPreview::cellsInResult(preview.cells, preview.shownSize, covered);
    if (part.isEmpty())
        return;
    const ResultRegion region{part.x(), part.y(), part.width(), part.height(), preview.cells.width(),
                              preview.cells.height()};
    RegionSources sources{inputs.left, reducedFor(LeftRole), inputs.right, nullptr, {}};
    if (!inputs.correction.isIdentity()) {
        // Zoomed out the original's copies serve best; at full scale a corrected copy, if made, is exact.
        if (inputs.correctedRight && (region.isWholeScale() || !reducedFor(RightRole)))
            sources.right = inputs.correctedRight.get();
        else
            sources.rightCorrection = inputs.correction;
    }
    if (sources.right == inputs.right)
        sources.rightReduced = reducedFor(RightRole);
    previewReads_.spare = spareMemory_->take();
    std::unique_ptr<Bitmap> pixels =
        anaglyph ? composeResultRegion(inputs.composer, sources, inputs.geometry, region, &previewReads_)
                 : composeFrameRegion(inputs.format, inputs.gap, sources, inputs.geometry, region, &previewReads_);
    if (!pixels)
        return;
    preview.image = imageOwning(std::move(pixels), spareMemory_);
    resultView_.showPreview(std::move(preview));
}

void BackgroundComposition::refreshPreview()
{
    // Only while pending_ still describes the pictures the stores hold, and
    // not for the scrolling that laying out a preview does itself.
    if (!showingPreview_ && model_.resultPending() && !model_.changed() && resultView_.preview()
        && pendingLeft_ == model_.leftImage().generation() && pendingRight_ == model_.rightImage().generation())
        showPreview(pending_);
}

void BackgroundComposition::land()
{
    Mailbox arrived;
    {
        std::lock_guard lock(mailboxMutex_);
        std::swap(arrived, mailbox_);
    }
    for (auto& [role, reduced] : arrived.reduced)
        (role == LeftRole ? leftReduced_ : rightReduced_) = std::move(reduced);
    if (worker_.isIdle())
        retired_.clear();
    // Only the latest composition is the present state; older ones were overtaken.
    if (!arrived.composed || arrived.ticket != ticket_ || !model_.resultPending())
        return;
    model_.adoptComposition(std::move(*arrived.composed));
    emit resultLanded();
}

void BackgroundComposition::finishComposition()
{
    worker_.waitUntilIdle();
    land();
}

}  // namespace korvex
