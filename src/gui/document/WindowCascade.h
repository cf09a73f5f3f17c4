#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace korvex {

// Where a new document window goes: at its saved place unless an open window
// already sits there, else one step down and to the right, as often as it
// takes. A place that would take the window past the available area's right
// or bottom edge starts again at the area's top, one step further right for
// each time round. An invalid area has no edges.
QPoint cascadedPosition(QPoint saved, QSize size, const QList<QPoint>& taken, QRect available);

// The step between cascaded windows, about a title bar's height.
constexpr int cascadeStep = 28;

}  // namespace korvex
