#include "gui/imageview/ViewGeometry.h"

#include <algorithm>
#include <cmath>

namespace korvex {

namespace {

// The two bars of a cross, each a rectangle of (2a + 1) by (2b + 1) units.
void addCross(std::vector<ViewGeometry::Outline>& out, float cx, float cy, float a, float b, bool black)
{
    out.push_back({QRectF(cx - a, cy - b, 2 * a + 1, 2 * b + 1), black});
    out.push_back({QRectF(cx - b, cy - a, 2 * b + 1, 2 * a + 1), black});
}

// Narrows to single precision. Through memory, because GCC 12 at -O2
// vectorises a pair of double-to-float-to-double conversions away.
float narrow(double v)
{
    volatile float f = float(v);
    return f;
}

}  // namespace

ViewGeometry::ViewGeometry(QSize frame, Size picture, int zoomLevel)
    : frame_(frame), picture_(picture), zoomLevel_(zoomLevel), zoom_(zoomFactor(zoomLevel))
{
}

double ViewGeometry::zoomFactor(int zoomLevel)
{
    return zoomLevel > 0 ? zoomLevel / 100.0 : 1.0;
}

QSize ViewGeometry::frameSize(QSize viewport, Size picture, int zoomLevel)
{
    const double z = zoomFactor(zoomLevel);
    // A hair of tolerance so that 0.1 * 1000 does not round up to 101.
    auto zoomed = [z](double units) { return int(std::ceil(units * z - 1e-9)); };
    return {std::max(viewport.width(), zoomed(picture.width)),
            std::max(viewport.height(), zoomed(picture.height))};
}

QSizeF ViewGeometry::bounds() const
{
    return {frame_.width() / zoom_, frame_.height() / zoom_};
}

QPointF ViewGeometry::margins() const
{
    const QSizeF b = bounds();
    const float ox = b.width() > picture_.width ? narrow((b.width() - picture_.width) / 2) : 0.0f;
    const float oy = b.height() > picture_.height ? narrow((b.height() - picture_.height) / 2) : 0.0f;
    return {ox, oy};
}

Point ViewGeometry::mapToPicture(QPointF widgetPos) const
{
    const QPointF m = margins();
    return {widgetPos.x() / zoom_ - m.x(), (frame_.height() - widgetPos.y()) / zoom_ - m.y()};
}

QPointF ViewGeometry::mapToWidget(Point picturePos) const
{
    const QPointF m = margins();
    return {(picturePos.x + m.x()) * zoom_, frame_.height() - (picturePos.y + m.y()) * zoom_};
}

QRectF ViewGeometry::mapRectToWidget(const QRectF& r) const
{
    return {r.x() * zoom_, frame_.height() - (r.y() + r.height()) * zoom_, r.width() * zoom_,
            r.height() * zoom_};
}

QRectF ViewGeometry::pictureRect() const
{
    const QPointF m = margins();
    return mapRectToWidget(QRectF(m.x(), m.y(), picture_.width, picture_.height));
}

std::vector<ViewGeometry::Outline> ViewGeometry::pinMark(Point pin) const
{
    float z = float(zoomFactor(zoomLevel_));
    if (z > 1.0f)
        z = 1.0f;
    const QPointF m = margins();
    const float cx = float(m.x() + pin.x);
    const float cy = float(m.y() + pin.y);

    std::vector<Outline> out;
    for (int i = 0; i < 1.0 / double(z) + 2; ++i)
        addCross(out, cx, cy, 9 / z + float(i), 1 / z + float(i), false);
    for (int i = 0; i < 1.0 / double(z); ++i)
        addCross(out, cx, cy, 10 / z + float(i), 2 / z + float(i), true);
    return out;
}

QRectF ViewGeometry::pageRect(QSizeF paper, QMarginsF margins, float scale)
{
    const double s = scale > 0.0f ? double(scale) : 1.0;
    const float width = narrow((paper.width() - margins.left() - margins.right()) / s);
    const float height = narrow((paper.height() - margins.top() - margins.bottom()) / s);
    return {0.0, 0.0, width, height};
}

QRectF ViewGeometry::printPlacement(Size picture, const QRectF& page)
{
    if (picture.width <= 0 || picture.height <= 0)
        return {};
    double w = picture.width;
    double h = picture.height;
    const float q = narrow(w / h);
    if (w > page.width()) {
        w = page.width();
        h = w / q;
    }
    if (h > page.height()) {
        h = page.height();
        w = h * q;
    }
    const double x = page.x() + (page.width() > w ? (page.width() - w) / 2 : 0.0);
    const double y = page.y() + (page.height() > h ? (page.height() - h) / 2 : 0.0);
    return {x, y, w, h};
}

}  // namespace korvex
