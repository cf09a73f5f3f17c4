#include "gui/imageview/ImageView.h"

#include "gui/imageview/DragContents.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

namespace korvex {

ImageView::ImageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    store_.setFrameChangedHandler([this] {
        // The store's own picture is here, but until it rests the preview is the better drawing of it.
        standIn_ = std::move(preview_);
        preview_.reset();
        adjustFrame();
    });
    findZoomView();
    // Long enough that held-down keys or repeated clicks keep the fast path.
    refineTimer_.setSingleShot(true);
    refineTimer_.setInterval(150);
    connect(&refineTimer_, &QTimer::timeout, this, [this] {
        refining_ = true;
        repaint();
        refining_ = false;
    });
}

std::unique_ptr<Bitmap> ImageView::imageAndDetach()
{
    auto bitmap = store_.imageAndDetach();
    update();
    return bitmap;
}

int ImageView::zoomLevel() const
{
    const int level = zoomView_ ? zoomView_->zoom() : 100;
    return level > 0 ? level : 100;
}

ViewGeometry ImageView::geometry() const
{
    return ViewGeometry(size(), pictureSize(), zoomLevel());
}

Size ImageView::pictureSize() const
{
    return preview_ ? preview_->resultSize : store_.size();
}

QRect ImageView::visibleArea() const
{
    if (!zoomView_)
        return rect();
    const QWidget* viewport = zoomView_->viewport();
    return QRect(mapFrom(viewport, QPoint(0, 0)), viewport->size()) & rect();
}

void ImageView::showPreview(ResultPreview preview)
{
    const bool resized = !preview_ || preview_->resultSize != preview.resultSize;
    preview_ = std::move(preview);
    if (resized) {
        if (zoomView_)
            zoomView_->refit();  // a new size may change the level that fits
        layoutFrame();
    }
    update();
}

void ImageView::clearPreview()
{
    standIn_.reset();
    if (!preview_)
        return;
    preview_.reset();
    layoutFrame();
}

bool ImageView::event(QEvent* e)
{
    if (e->type() == QEvent::ParentChange)
        findZoomView();
    return QWidget::event(e);
}

void ImageView::findZoomView()
{
    if (zoomView_) {
        disconnect(zoomView_, nullptr, this, nullptr);
        zoomView_->viewport()->removeEventFilter(this);
        zoomView_->setPictureSizeSource({});
    }
    zoomView_ = nullptr;
    observingFrame_ = false;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (w->metaObject() == &ZoomScrollView::staticMetaObject) {
            zoomView_ = static_cast<ZoomScrollView*>(w);
            break;
        }
    }
    if (zoomView_) {
        connect(zoomView_, &ZoomScrollView::zoomHasChanged, this,
                [this] { frameHasChanged(FrameChange::ZoomHasChanged); });
        connect(zoomView_, &ZoomScrollView::zoomWillChange, this,
                [this] { frameHasChanged(FrameChange::ZoomWillChange); });
        zoomView_->viewport()->installEventFilter(this);
        zoomView_->setPictureSizeSource([this] { return QSizeF(pictureSize().width, pictureSize().height); });
        observingFrame_ = true;
    }
    layoutFrame();
}

bool ImageView::eventFilter(QObject* watched, QEvent* e)
{
    if (observingFrame_ && e->type() == QEvent::Resize && zoomView_ && watched == zoomView_->viewport())
        frameHasChanged(FrameChange::FrameDidChange);
    return QWidget::eventFilter(watched, e);
}

void ImageView::frameHasChanged(FrameChange change)
{
    // The view's own frame changes must not come back here while it lays
    // itself out, nor while a zoom is under way.
    if (!zooming_)
        observingFrame_ = false;
    if (change == FrameChange::ZoomWillChange)
        zooming_ = true;
    else if (change == FrameChange::ZoomHasChanged)
        zooming_ = false;
    layoutFrame();
    if (!zooming_)
        observingFrame_ = zoomView_ != nullptr;
}

void ImageView::adjustFrame()
{
    display_.invalidate();
    // A new size may change the level that fits.
    if (zoomView_)
        zoomView_->refit();
    layoutFrame();
}

void ImageView::layoutFrame()
{
    QScrollBar* vbar = zoomView_ ? zoomView_->verticalScrollBar() : nullptr;
    // Only a view the user has not scrolled down is brought to the picture's top-left.
    const bool atRest = !vbar || !vbar->isEnabled() || vbar->maximum() <= vbar->minimum()
                        || vbar->value() == vbar->minimum();
    const QSize viewport = parentWidget() ? parentWidget()->size() : QSize(0, 0);
    const QSize frame = ViewGeometry::frameSize(viewport, pictureSize(), zoomLevel());
    if (frame != size()) {
        resize(frame);
        if (atRest && zoomView_) {
            zoomView_->horizontalScrollBar()->setValue(zoomView_->horizontalScrollBar()->minimum());
            vbar->setValue(vbar->minimum());
        }
    }
    update();
}

void ImageView::paintEvent(QPaintEvent* e)
{
    QPainter painter(this);
    const QRect exposed = e->rect();
    painter.fillRect(exposed, Qt::white);
    const ViewGeometry g = geometry();
    display_.update(store_.image());
    // Enlarged pixels stay sharp so that the pin can be put on one of them.
    if (preview_) {
        drawPreview(painter, *preview_, g.pictureRect(), exposed, g.zoom());
    } else if (standInFits(g)) {
        drawPreview(painter, *standIn_, g.pictureRect(), exposed, g.zoom());
        refineTimer_.start();
    } else {
        drawPicture(painter, g.pictureRect(), exposed, g.zoom(), g.zoom() < 1.0);
    }
    const Point pin = store_.pinPoint();
    if (type() > ResultRole && pin.x >= 0 && pin.y >= 0)
        drawPinMark(painter, g);
    drawStateFrame(painter);
}

void ImageView::drawStateFrame(QPainter& painter)
{
    if (!dropHighlighted_ && !hasFocus())
        return;
    // Around the part in sight, which is all of the view only when it fits.
    const QRect shown = visibleRegion().boundingRect();
    const int width = dropHighlighted_ ? 4 : 2;
    QPen pen(palette().color(QPalette::Highlight), width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(shown).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
}

void ImageView::focusInEvent(QFocusEvent* e)
{
    update();
    QWidget::focusInEvent(e);
}

void ImageView::focusOutEvent(QFocusEvent* e)
{
    update();
    QWidget::focusOutEvent(e);
}

void ImageView::drawPicture(QPainter& painter, const QRectF& target, const QRectF& exposed, double zoom, bool smooth)
{
    if (display_.isNull() || target.isEmpty())
        return;
    const QRectF part = target & exposed;
    if (part.isEmpty())
        return;
    const bool quick = zoom < 1.0 && !refining_ && !display_.isReadyFor(zoom);
    if (quick)
        refineTimer_.start();
    const QImage& image = quick ? display_.level(0) : display_.forZoom(zoom);
    const double sx = image.width() / target.width();
    const double sy = image.height() / target.height();
    const QRectF source((part.x() - target.x()) * sx, (part.y() - target.y()) * sy, part.width() * sx,
                        part.height() * sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth && !quick);
    painter.drawImage(part, image, source);
}

bool ImageView::standInFits(const ViewGeometry& g)
{
    // Only where the picture would be drawn quickly, and only while the
    // preview's view pixels are still those in sight: not moved, not zoomed.
    const double zoom = g.zoom();
    const QSize full(int(store_.size().width), int(store_.size().height));
    if (standIn_ && !refining_ && zoom < 1.0 && !display_.isReadyFor(zoom) && standIn_->inViewPixels
        && standIn_->resultSize == store_.size() && standIn_->shownSize == DisplayImage::sizeForZoom(full, zoom)
        && standIn_->pictureOrigin == g.pictureRect().topLeft())
        return true;
    standIn_.reset();
    return false;
}

void ImageView::drawPreview(QPainter& painter, const ResultPreview& p, const QRectF& target, const QRectF& exposed,
                            double zoom)
{
    if (p.image.isNull() || target.isEmpty() || p.shownSize.isEmpty())
        return;
    if (p.inViewPixels) {
        // One copy, moved as the picture has moved since (until the next preview).
        const QPointF moved = target.topLeft() - p.pictureOrigin;
        painter.drawImage(p.cells.topLeft() + QPoint(int(std::lround(moved.x())), int(std::lround(moved.y()))), p.image);
        return;
    }
    // The cells where the whole shown picture would put them, and drawn as it would be.
    const double kx = target.width() / p.shownSize.width();
    const double ky = target.height() / p.shownSize.height();
    const QRectF cells(target.x() + p.cells.x() * kx, target.y() + p.cells.y() * ky, p.cells.width() * kx,
                       p.cells.height() * ky);
    const QRectF part = cells & exposed;
    if (part.isEmpty())
        return;
    const QRectF source((part.x() - cells.x()) / kx, (part.y() - cells.y()) / ky, part.width() / kx, part.height() / ky);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom < 1.0);
    painter.drawImage(part, p.image, source);
}

void ImageView::drawPinMark(QPainter& painter, const ViewGeometry& g)
{
    // Each outline is one picture unit wide, drawn inside its rectangle.
    const double t = g.zoom();
    for (const ViewGeometry::Outline& outline : g.pinMark(store_.pinPoint())) {
        const QRectF r = g.mapRectToWidget(outline.rect);
        const QColor colour = outline.black ? Qt::black : Qt::white;
        painter.fillRect(QRectF(r.x(), r.y(), r.width(), t), colour);
        painter.fillRect(QRectF(r.x(), r.bottom() - t, r.width(), t), colour);
        painter.fillRect(QRectF(r.x(), r.y() + t, t, r.height() - 2 * t), colour);
        painter.fillRect(QRectF(r.right() - t, r.y() + t, t, r.height() - 2 * t), colour);
    }
}

void ImageView::mousePressEvent(QMouseEvent* e)
{
    if (type() == ResultRole || e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    emit pinWillChange(false);
    store_.setPinPoint(geometry().mapToPicture(e->position()));
    update();
    emit pinHasChanged();
}

bool ImageView::movePinBy(double dx, double dy)
{
    if (type() == ResultRole || !store_.image())
        return false;
    const Point pin = store_.pinPoint();
    emit pinWillChange(true);
    store_.setPinPoint({pin.x + dx, pin.y + dy});
    if (zoomView_) {
        const QPointF at = geometry().mapToWidget(store_.pinPoint());
        // Room for the whole pin mark around the point.
        zoomView_->ensureVisible(int(at.x()), int(at.y()), 24, 24);
    }
    update();
    emit pinHasChanged();
    return true;
}

void ImageView::keyPressEvent(QKeyEvent* e)
{
    // Shift moves by ten; with any other modifier the key belongs to a shortcut.
    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const double step = e->modifiers().testFlag(Qt::ShiftModifier) ? 10.0 : 1.0;
    double dx = 0;
    double dy = 0;
    switch (e->key()) {
    case Qt::Key_Left: dx = -step; break;
    case Qt::Key_Right: dx = step; break;
    case Qt::Key_Up: dy = step; break;  // picture y grows upwards
    case Qt::Key_Down: dy = -step; break;
    default: break;
    }
    if (mods == Qt::NoModifier && (dx != 0 || dy != 0) && movePinBy(dx, dy)) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool ImageView::focusNextPrevChild(bool next)
{
    if (type() == ResultRole)
        return QWidget::focusNextPrevChild(next);
    emit nextViewRequested(next);
    return true;
}

void ImageView::allowDrop(bool allow)
{
    setAcceptDrops(allow);
}

Qt::DropAction ImageView::draggingEntered(const QMimeData* data, Qt::DropActions offered)
{
    const DragContents contents(data);
    // Picture data wants the generic operation, which is a copy here.
    if (contents.hasPictureData() && offered.testFlag(Qt::CopyAction))
        return Qt::CopyAction;
    if (!contents.files().isEmpty()) {
        if (offered.testFlag(Qt::LinkAction))
            return Qt::LinkAction;
        if (offered.testFlag(Qt::CopyAction))
            return Qt::CopyAction;
    }
    return Qt::IgnoreAction;
}

bool ImageView::performDragOperation(const QMimeData* data)
{
    const DragContents contents(data);
    QByteArray bytes;
    bool found = false;
    if (contents.hasPictureData()) {
        bytes = contents.pictureData();
        found = true;
    } else if (!contents.files().isEmpty()) {
        QFile file(contents.files().first());
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
            found = file.error() == QFileDevice::NoError;
        }
    }
    if (!found)
        return true;
    if (dropDecoder_)
        dropDecoder_(std::move(bytes));
    else
        adoptDroppedPicture(decodeImage(std::span<const std::uint8_t>(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))));
    return true;
}

void ImageView::adoptDroppedPicture(DecodeResult decoded)
{
    emit imageWillChange();
    store_.setDecodedImage(std::move(decoded));
    emit imageHasChanged();
}

void ImageView::setDropHighlighted(bool on)
{
    if (dropHighlighted_ == on)
        return;
    dropHighlighted_ = on;
    update();
}

void ImageView::dragEnterEvent(QDragEnterEvent* e)
{
    dragMoveEvent(e);
}

void ImageView::dragMoveEvent(QDragMoveEvent* e)
{
    const Qt::DropAction action = draggingEntered(e->mimeData(), e->possibleActions());
    setDropHighlighted(action != Qt::IgnoreAction);
    if (action == Qt::IgnoreAction) {
        e->ignore();
        return;
    }
    e->setDropAction(action);
    e->accept();
}

void ImageView::dragLeaveEvent(QDragLeaveEvent* e)
{
    setDropHighlighted(false);
    QWidget::dragLeaveEvent(e);
}

void ImageView::dropEvent(QDropEvent* e)
{
    setDropHighlighted(false);
    const Qt::DropAction action = draggingEntered(e->mimeData(), e->possibleActions());
    if (action == Qt::IgnoreAction) {
        e->ignore();
        return;
    }
    performDragOperation(e->mimeData());
    e->setDropAction(action);
    e->accept();
}

bool ImageView::knowsPageRange(int& first, int& last)
{
    first = 1;
    last = 1;
    return true;
}

QRectF ImageView::rectForPage(int /*page*/, const QPrinter& printer, float scale)
{
    const QPageLayout layout = printer.pageLayout();
    return ViewGeometry::pageRect(layout.fullRect(QPageLayout::Point).size(), layout.margins(QPageLayout::Point),
                                  scale);
}

QRectF ImageView::print(QPainter& painter, const QRectF& pageRect)
{
    painter.fillRect(pageRect, Qt::white);
    const QRectF placed = ViewGeometry::printPlacement(store_.size(), pageRect);
    display_.update(store_.image());
    if (!placed.isEmpty()) {
        // Paper wants every pixel the picture has.
        painter.save();
        drawPicture(painter, placed, placed, 1.0, true);
        painter.restore();
    }
    return placed;
}

QRectF ImageView::printTo(QPrinter& printer, float scale)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return {};
    const QRectF page = rectForPage(1, printer, scale);
    // View units to printer pixels: one unit is scale points.
    const double s = scale > 0.0f ? double(scale) : 1.0;
    const double k = printer.resolution() / 72.0 * s;
    painter.scale(k, k);
    const QRectF placed = print(painter, page);
    painter.end();
    return placed;
}

}  // namespace korvex
