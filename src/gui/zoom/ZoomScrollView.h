#pragma once

#include <QList>
#include <QScrollArea>
#include <QSize>
#include <QSizeF>

class QComboBox;

namespace korvex {

// A scroll view with a zoom pop-up at the left end of its horizontal scroll
// bar. Its document view's picture-unit size (its bounds) is kept across a
// zoom change while its widget size (its frame) becomes bounds x zoom.
class ZoomScrollView : public QScrollArea {
    Q_OBJECT

public:
    // The levels in percent offered by default; 100 is among them.
    static QList<int> standardZoomLevels();

    // Each level of the zoom menu becomes one pop-up item whose data is the
    // level; 100 is selected. An empty menu makes no pop-up.
    explicit ZoomScrollView(QWidget* parent = nullptr, const QList<int>& zoomMenu = standardZoomLevels());

    // The selected level in percent; 100 without a pop-up, since the picture
    // views divide by the zoom.
    int zoom() const;
    QComboBox* zoomButton() const { return zoomButton_; }

    // The document view's size in picture units at the level it was last laid for.
    QSizeF documentBounds() const;

    static constexpr int zoomButtonWidth = 60;

public slots:
    // Applies the pop-up's selected level; a call from anything else does nothing.
    void receiveZoomLevelFrom(QObject* sender);

signals:
    // Emitted once the selection has moved (zoom() already gives the new level)
    // and before the document view is rescaled; always followed by zoomHasChanged.
    void zoomWillChange();
    void zoomHasChanged();

private:
    QComboBox* zoomButton_ = nullptr;
    int laidLevel_ = 100;
    // The frame this view last gave its document view and the bounds it kept,
    // so that whole-pixel rounding does not drift over several zooms.
    QSize lastFrame_;
    QSizeF lastBounds_;
};

}  // namespace korvex
