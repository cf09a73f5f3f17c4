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

}  // namespace korvex
