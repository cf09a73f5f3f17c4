#include "gui/imageview/ResultPreview.h"

#include <algorithm>
#include <cmath>

namespace korvex {

QRect ResultPreview::visibleCells(QSize shownSize, const QRectF& target, const QRectF& visible)
{
    const QRectF part = target & visible;
    if (part.isEmpty() || shownSize.isEmpty())
        return {};
    const double sx = shownSize.width() / target.width();
    const double sy = shownSize.height() / target.height();
    const int left = std::clamp(int(std::floor((part.left() - target.left()) * sx)), 0, shownSize.width());
    const int top = std::clamp(int(std::floor((part.top() - target.top()) * sy)), 0, shownSize.height());
    const int right = std::clamp(int(std::ceil((part.right() - target.left()) * sx)), 0, shownSize.width());
    const int bottom = std::clamp(int(std::ceil((part.bottom() - target.top()) * sy)), 0, shownSize.height());
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRectF ResultPreview::cellsInResult(const QRect& cells, QSize shownSize, QSize covered)
{
    const double kx = double(covered.width()) / shownSize.width();
    const double ky = double(covered.height()) / shownSize.height();
    return QRectF(cells.x() * kx, cells.y() * ky, cells.width() * kx, cells.height() * ky);
}

QRect ResultPreview::viewPixels(const QRectF& target, const QRectF& visible)
{
    const QRectF part = target & visible;
    if (part.isEmpty())
        return {};
    // A pixel is painted when its centre is inside.
    const int left = int(std::ceil(part.left() - 0.5)), right = int(std::ceil(part.right() - 0.5));
    const int top = int(std::ceil(part.top() - 0.5)), bottom = int(std::ceil(part.bottom() - 0.5));
    return right > left && bottom > top ? QRect(left, top, right - left, bottom - top) : QRect();
}

QRectF ResultPreview::viewPixelsInResult(const QRect& pixels, const QRectF& target, QSize covered)
{
    const double kx = covered.width() / target.width();
    const double ky = covered.height() / target.height();
    const double left = std::max(0.0, (pixels.x() - target.x()) * kx);
    const double top = std::max(0.0, (pixels.y() - target.y()) * ky);
    const double right = std::min(double(covered.width()), (pixels.x() + pixels.width() - target.x()) * kx);
    const double bottom = std::min(double(covered.height()), (pixels.y() + pixels.height() - target.y()) * ky);
    return QRectF(left, top, right - left, bottom - top);
}

}  // namespace korvex
