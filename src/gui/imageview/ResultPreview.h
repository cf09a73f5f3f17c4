#pragma once

#include "core/bitmap/Bitmap.h"

#include <QImage>
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

    // The cells of a shown picture of `shownSize`, drawn over `target`, that
    // meet `visible` (both in widget coordinates).
    static QRect visibleCells(QSize shownSize, const QRectF& target, const QRectF& visible);
    // The same cells as a part of the result, in its pixels, when the shown
    // picture is made from the `covered` part of it.
    static QRectF cellsInResult(const QRect& cells, QSize shownSize, QSize covered);
};

}  // namespace korvex
