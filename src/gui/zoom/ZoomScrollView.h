#pragma once

#include <QList>
#include <QScrollArea>
#include <QSize>
#include <QSizeF>

#include <functional>

class QComboBox;

namespace korvex {

// A scroll view with a zoom pop-up at the left end of its horizontal scroll
// bar. Its document view's picture-unit size (its bounds) is kept across a
// zoom change while its widget size (its frame) becomes bounds x zoom.
// Beside the levels the pop-up offers Fit: the largest whole level, at most
// 100, at which the whole picture shows; it follows the visible area and the
// picture while it is chosen.
class ZoomScrollView : public QScrollArea {
    Q_OBJECT

public:
    // The levels in percent offered by default; 100 is among them.
    static QList<int> standardZoomLevels();
    // The pop-up item data of the Fit item; no level is 0.
    static constexpr int fitItem = 0;

    // Each level of the zoom menu becomes one pop-up item whose data is the
    // level, after a Fit item; 100 is selected. An empty menu makes no pop-up.
    explicit ZoomScrollView(QWidget* parent = nullptr, const QList<int>& zoomMenu = standardZoomLevels());

    // The selected level in percent (Fit's level while Fit is chosen); 100
    // without a pop-up, since the picture views divide by the zoom.
    int zoom() const;
    bool isFitting() const;
    QComboBox* zoomButton() const { return zoomButton_; }

    // The document view's size in picture units at the level it was last laid for.
    QSizeF documentBounds() const;

    // The size in picture units of what the document view shows; Fit fits it.
    void setPictureSizeSource(std::function<QSizeF()> source) { pictureSize_ = std::move(source); }
    // The largest whole level from 1 to 100 at which a picture fits the
    // viewport; 100 for an empty picture.
    static int fitLevel(QSize viewport, QSizeF picture);

    // Choose a pop-up item as the user would and apply it: a level or
    // fitItem. False when the pop-up has no such item.
    bool chooseLevel(int itemData);
    // Chooses the next larger (direction > 0) or smaller level than the one
    // shown; false at either end.
    bool stepZoom(int direction);
    // While Fit is chosen, applies its level again when the picture or the
    // visible area has changed it.
    void refit();

    static constexpr int zoomButtonWidth = 60;

public slots:
    // Applies the pop-up's selected level; a call from anything else does nothing.
    void receiveZoomLevelFrom(QObject* sender);

signals:
    // Emitted once the selection has moved (zoom() already gives the new level)
    // and before the document view is rescaled; always followed by zoomHasChanged.
    void zoomWillChange();
    void zoomHasChanged();

protected:
    bool viewportEvent(QEvent* event) override;
    // Ctrl with the wheel zooms about the pointer; the wheel alone scrolls.
    void wheelEvent(QWheelEvent* event) override;

private:
    int currentFitLevel() const;
    // Zooms one step keeping the picture point under `anchor` (viewport
    // coordinates) where it is.
    void stepZoomAbout(int direction, QPointF anchor);

    QComboBox* zoomButton_ = nullptr;
    std::function<QSizeF()> pictureSize_;
    int laidLevel_ = 100;
    int fitLevel_ = 100;  // Fit's level, as last applied
    int wheelAngle_ = 0;  // wheel turns below one notch, kept for the next event
    // The frame this view last gave its document view and the bounds it kept,
    // so that whole-pixel rounding does not drift over several zooms.
    QSize lastFrame_;
    QSizeF lastBounds_;
};

}  // namespace korvex
