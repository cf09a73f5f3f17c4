#include "gui/document/WindowCascade.h"

#include <algorithm>

namespace korvex {

namespace {

// A window placed by the window manager may land a few pixels off where it was asked to be.
constexpr int samePlace = 4;

bool isTaken(QPoint place, const QList<QPoint>& taken)
{
    return std::any_of(taken.begin(), taken.end(),
                       [place](QPoint t) { return (t - place).manhattanLength() <= samePlace; });
}

}  // namespace

QPoint cascadedPosition(QPoint saved, QSize size, const QList<QPoint>& taken, QRect available)
{
    QPoint place = saved;
    int rounds = 0;
    // Every open window can push the new one one step at most.
    for (qsizetype tries = 0; tries <= taken.size() && isTaken(place, taken); ++tries) {
        place += QPoint(cascadeStep, cascadeStep);
        const bool pastEdge = available.isValid()
                              && (place.x() + size.width() > available.right() + 1
                                  || place.y() + size.height() > available.bottom() + 1);
        if (pastEdge) {
            ++rounds;
            place = available.topLeft() + QPoint(rounds * cascadeStep, 0);
        }
    }
    return place;
}

}  // namespace korvex
