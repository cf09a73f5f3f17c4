#pragma once

#include "core/bitmap/Bitmap.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace korvex {

// A quick picture of the part of the result in sight, shown until the whole
// result is composed. It holds some pixels (cells) of the picture that the
// view would show at its zoom: the result itself at 100 % and above, its
// reduced copy below.
struct ResultPreview {
    Size resultSize;  // the coming result's size, for the view's layout
    QSize shownSize;  // the picture the view shows at the preview's zoom
    QRect cells;      // which of its pixels the image holds
    QImage image;
    // Zoomed out, Qt resamples the shown picture onto the view's pixels at a
    // fraction of a pixel; the preview is then made of those view pixels
    // (cells in widget coordinates, while the picture's rectangle started at
    // pictureOrigin) and drawn as it is.
    bool inViewPixels = false;
    QPointF pictureOrigin;

    // The cells of a shown picture of `shownSize`, drawn over `target`, that
    // meet `visible` (both in widget coordinates).
    static QRect visibleCells(QSize shownSize, const QRectF& target, const QRectF& visible);
    // The same cells as a part of the result, in its pixels, when the shown
    // picture is made from the `covered` part of it.
    static QRectF cellsInResult(const QRect& cells, QSize shownSize, QSize covered);
    // The view's pixels whose centres lie in both `target` and `visible`:
    // those Qt paints of a picture drawn over `target`.
    static QRect viewPixels(const QRectF& target, const QRectF& visible);
    // The same pixels as a part of the result, kept within the `covered`
    // part of it that the picture drawn over `target` is made from.
    static QRectF viewPixelsInResult(const QRect& pixels, const QRectF& target, QSize covered);
};

}  // namespace korvex
