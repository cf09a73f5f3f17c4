#pragma once

#include "core/imageview/PictureStore.h"
#include "gui/imageview/DisplayImage.h"
#include "gui/imageview/ResultPreview.h"
#include "gui/imageview/ViewGeometry.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QByteArray>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

class QMimeData;
class QPainter;
class QPrinter;

namespace korvex {

// One picture pane: the picture store of core plus its on-screen half. It is
// the document view of a ZoomScrollView, follows its zoom, draws the picture
// centred with its pin mark, sets the pin point on a click, takes dropped
// pictures and prints its picture on one page.
class ImageView : public QWidget {
    Q_OBJECT

public:
    explicit ImageView(QWidget* parent = nullptr);

    // The store, for the document model to hold.
    PictureStore& store() { return store_; }
    const PictureStore& store() const { return store_; }

    void setType(int itype) { store_.setType(itype); }
    int type() const { return store_.type(); }
    bool setImageWithFile(const std::string& path) { return store_.setImageWithFile(path); }
    bool setImageWithData(std::span<const std::uint8_t> data) { return store_.setImageWithData(data); }
    void setImage(std::unique_ptr<Bitmap> bitmap) { store_.setImage(std::move(bitmap)); }
    void createImageWithSize(Size size) { store_.createImageWithSize(size); }
    void setPinPoint(Point p) { store_.setPinPoint(p); }
    Point pinPoint() const { return store_.pinPoint(); }
    Bitmap* image() const { return store_.image(); }
    std::unique_ptr<Bitmap> imageAndDetach();

    ZoomScrollView* zoomView() const { return zoomView_; }
    // The zoom level in percent: the zoom view's, or 100 without one.
    int zoomLevel() const;
    // The current layout of picture and widget coordinates.
    ViewGeometry geometry() const;

    // The picture (or its pixels) may have changed: re-lay the frame and redraw.
    void adjustFrame();

    // A result on its way: the view lays itself out for a picture of
    // resultSize and draws the preview's cells in place of its picture until
    // the store's picture changes or the preview is cleared. Zoomed out, the
    // new picture's quick first drawing would be coarser than the preview
    // (interleaved rows show one eye), so the preview stays until it rests.
    void showPreview(ResultPreview preview);
    void clearPreview();
    const std::optional<ResultPreview>& preview() const { return preview_; }
    // The size of the picture the view lays out: the preview's while there is one.
    Size pictureSize() const;
    // The part of the view in sight in its scroll view, in its own coordinates.
    QRect visibleArea() const;

    enum class FrameChange { ZoomWillChange, ZoomHasChanged, FrameDidChange };
    void frameHasChanged(FrameChange change);
    bool isZooming() const { return zooming_; }

    // Drops: picture data (TIFF, PNG, JPEG) and file URLs, on the left and right views.
    void allowDrop(bool allow);
    // Drawn with a highlighted frame while a drag it would take is over it.
    bool isDropHighlighted() const { return dropHighlighted_; }
    // The action a drag offering these data and actions would get, or
    // Qt::IgnoreAction when it would be refused.
    static Qt::DropAction draggingEntered(const QMimeData* data, Qt::DropActions offered);
    // Loads the dropped picture data or the first file, whole, and emits
    // imageHasChanged when there was data. Always true: the drop is taken.
    // With a drop decoder the bytes go to it instead, to come back through
    // adoptDroppedPicture.
    bool performDragOperation(const QMimeData* data);
    using DropDecoder = std::function<void(QByteArray bytes)>;
    void setDropDecoder(DropDecoder decoder) { dropDecoder_ = std::move(decoder); }
    // A dropped picture decoded: in, between imageWillChange and imageHasChanged.
    void adoptDroppedPicture(DecodeResult decoded);

    // Printing: one page, the printable area in view units.
    static bool knowsPageRange(int& first, int& last);
    static QRectF rectForPage(int page, const QPrinter& printer, float scale = 1.0f);
    // Draws the picture fitted and centred into pageRect (no pin mark) and
    // answers where it went.
    QRectF print(QPainter& painter, const QRectF& pageRect);
    // Prints the one page on an open printer; answers the picture's rectangle
    // in view units, or an empty one when the printer could not start.
    QRectF printTo(QPrinter& printer, float scale = 1.0f);

    // Moves the pin point by whole picture units, as the arrow keys do, and
    // scrolls so that it stays in sight. Only a left or right view with a
    // picture has a pin to move.
    bool movePinBy(double dx, double dy);

signals:
    // The ...WillChange signals come just before a drop, a click or an arrow
    // key changes the picture or the pin point, so that the old one can be
    // kept for undo.
    void imageWillChange();
    void imageHasChanged();
    void pinWillChange(bool byKey);
    void pinHasChanged();
    // Tab or Shift+Tab in a left or right view: the window shows the next picture view.
    void nextViewRequested(bool forward);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void findZoomView();
    void layoutFrame();
    void drawPicture(QPainter& painter, const QRectF& target, const QRectF& exposed, double zoom, bool smooth);
    void drawPreview(QPainter& painter, const ResultPreview& p, const QRectF& target, const QRectF& exposed, double zoom);
    // Whether the preview the store's picture replaced still stands in for it here.
    bool standInFits(const ViewGeometry& g);
    void drawPinMark(QPainter& painter, const ViewGeometry& g);
    // The frame that shows keyboard focus or a drag that would be taken.
    void drawStateFrame(QPainter& painter);
    void setDropHighlighted(bool on);

    PictureStore store_;
    QPointer<ZoomScrollView> zoomView_;
    bool zooming_ = false;
    bool observingFrame_ = false;
    bool dropHighlighted_ = false;
    DisplayImage display_;
    std::optional<ResultPreview> preview_;
    std::optional<ResultPreview> standIn_;  // the preview the store's new picture replaced
    // A new picture seen zoomed out is first drawn straight from its full
    // pixels (nearest, fast) and redrawn from a smooth reduced copy once it
    // has rested, so a command never waits for the reduction.
    QTimer refineTimer_;
    bool refining_ = false;
    DropDecoder dropDecoder_;
};

}  // namespace korvex
