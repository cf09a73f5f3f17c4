#pragma once

#include "core/bitmap/Bitmap.h"

#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <vector>

namespace korvex {

// Where a picture lies on its view widget. Picture coordinates are units (one
// per pixel) from the picture's bottom-left corner, y upwards; widget
// coordinates are Qt's, from the top-left, y downwards. The widget (the
// frame) covers frame / zoom units (the bounds); a picture smaller than the
// bounds is centred in them, its margins counted in picture units. Every
// conversion between the two systems lives here.
class ViewGeometry {
public:
    ViewGeometry(QSize frame, Size picture, int zoomLevel);

    // The level in percent as a factor; a missing or non-positive level
    // counts as 100 so that nothing divides by zero.
    static double zoomFactor(int zoomLevel);
    // Per dimension the larger of the viewport and the zoomed picture,
    // rounded up so that the whole picture fits.
    static QSize frameSize(QSize viewport, Size picture, int zoomLevel);

    double zoom() const { return zoom_; }
    QSize frame() const { return frame_; }
    QSizeF bounds() const;
    // Centring margins in picture units, held in single precision.
    QPointF margins() const;

    Point mapToPicture(QPointF widgetPos) const;
    QPointF mapToWidget(Point picturePos) const;
    // A rectangle in bounds units (origin at its lower-left corner) on the widget.
    QRectF mapRectToWidget(const QRectF& boundsRect) const;
    // The widget area the picture covers.
    QRectF pictureRect() const;

    // One outlined rectangle of the pin mark, in bounds units.
    struct Outline {
        QRectF rect;
        bool black = false;
        bool operator==(const Outline&) const = default;
    };
    // The pin mark for a pin point, white outlines first, then black. The
    // mark keeps its picture-unit size above 100 % and adds outlines below
    // it, so that each band stays about one screen pixel wide.
    std::vector<Outline> pinMark(Point pin) const;

    // The printable area of the paper in view units: (paper - margins) / scale,
    // narrowed to single precision. A non-positive scale counts as 1.
    static QRectF pageRect(QSizeF paper, QMarginsF margins, float scale);
    // The picture shrunk to fit the page with its aspect ratio kept (carried
    // in single precision), never enlarged, centred. Empty for an empty picture.
    static QRectF printPlacement(Size picture, const QRectF& page);

private:
    QSize frame_;
    Size picture_;
    int zoomLevel_;
    double zoom_;
};

}  // namespace korvex
