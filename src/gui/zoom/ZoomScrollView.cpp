#include "gui/zoom/ZoomScrollView.h"

#include "gui/common/Strings.h"

#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>

namespace korvex {

namespace {

double factorOf(int level)
{
    return level > 0 ? level / 100.0 : 1.0;
}

// One notch of a mouse wheel, in eighths of a degree.
constexpr int wheelNotch = 120;

}  // namespace

QList<int> ZoomScrollView::standardZoomLevels()
{
    return {10, 25, 50, 75, 100, 150, 200, 400, 800};
}

ZoomScrollView::ZoomScrollView(QWidget* parent, const QList<int>& zoomMenu) : QScrollArea(parent)
{
    // The pop-up lives in the horizontal bar's strip, so that strip always shows.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWidgetResizable(false);
    horizontalScrollBar()->setAccessibleName(localizedString("AccScrollHorizontal"));
    verticalScrollBar()->setAccessibleName(localizedString("AccScrollVertical"));
    if (zoomMenu.isEmpty())
        return;

    zoomButton_ = new QComboBox(this);
    zoomButton_->setObjectName(QStringLiteral("zoomButton"));
    zoomButton_->setAccessibleName(localizedString("AccZoom"));
    zoomButton_->addItem(localizedString("ZoomFit"), fitItem);
    for (int level : zoomMenu)
        zoomButton_->addItem(QString::number(level) + QLatin1Char('%'), level);
    const int hundred = zoomButton_->findData(100);
    zoomButton_->setCurrentIndex(hundred >= 0 ? hundred : 1);
    zoomButton_->setFixedWidth(zoomButtonWidth);
    QFont small = zoomButton_->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    zoomButton_->setFont(small);
    zoomButton_->setFocusPolicy(Qt::NoFocus);
    connect(zoomButton_, &QComboBox::activated, this, [this] { receiveZoomLevelFrom(zoomButton_); });
    addScrollBarWidget(zoomButton_, Qt::AlignLeft);
    laidLevel_ = zoom();
}

int ZoomScrollView::zoom() const
{
    if (!zoomButton_ || zoomButton_->currentIndex() < 0)
        return 100;
    return isFitting() ? fitLevel_ : zoomButton_->currentData().toInt();
}

bool ZoomScrollView::isFitting() const
{
    return zoomButton_ && zoomButton_->currentIndex() >= 0 && zoomButton_->currentData().toInt() == fitItem;
}

int ZoomScrollView::fitLevel(QSize viewport, QSizeF picture)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return 100;
    // Whole percents, so that the level stays what the pop-up shows; a tiny
    // margin keeps a picture that fits exactly from losing a percent to rounding.
    const double across = 100.0 * std::max(0, viewport.width()) / picture.width();
    const double down = 100.0 * std::max(0, viewport.height()) / picture.height();
    const int level = int(std::floor(std::min(across, down) + 1e-9));
    return std::clamp(level, 1, 100);
}

int ZoomScrollView::currentFitLevel() const
{
    const QSizeF picture = pictureSize_ ? pictureSize_() : QSizeF(documentBounds());
    return fitLevel(viewport()->size(), picture);
}

QSizeF ZoomScrollView::documentBounds() const
{
    const QWidget* doc = widget();
    if (!doc)
        return {};
    if (doc->size() == lastFrame_)
        return lastBounds_;
    const double z = factorOf(laidLevel_);
    return {doc->width() / z, doc->height() / z};
}

void ZoomScrollView::receiveZoomLevelFrom(QObject* sender)
{
    if (!zoomButton_ || sender != zoomButton_)
        return;
    // Taken before the observers run: a Qt widget has no bounds of its own,
    // and an observer may already lay its frame out at the new level.
    const QSizeF bounds = documentBounds();
    if (isFitting())
        fitLevel_ = currentFitLevel();
    emit zoomWillChange();

    const int level = zoom();
    if (QWidget* doc = widget()) {
        const double z = factorOf(level);
        doc->resize(int(std::ceil(bounds.width() * z - 1e-9)), int(std::ceil(bounds.height() * z - 1e-9)));
        lastFrame_ = doc->size();
        lastBounds_ = bounds;
    }
    laidLevel_ = level;
    viewport()->update();
    emit zoomHasChanged();
}

bool ZoomScrollView::chooseLevel(int itemData)
{
    const int index = zoomButton_ ? zoomButton_->findData(itemData) : -1;
    if (index < 0)
        return false;
    zoomButton_->setCurrentIndex(index);
    receiveZoomLevelFrom(zoomButton_);
    return true;
}

bool ZoomScrollView::stepZoom(int direction)
{
    if (!zoomButton_ || direction == 0)
        return false;
    const int current = zoom();
    std::optional<int> next;
    for (int i = 0; i < zoomButton_->count(); ++i) {
        const int level = zoomButton_->itemData(i).toInt();
        if (level == fitItem)
            continue;
        if (direction > 0 && level > current && (!next || level < *next))
            next = level;
        if (direction < 0 && level < current && (!next || level > *next))
            next = level;
    }
    return next && chooseLevel(*next);
}

void ZoomScrollView::refit()
{
    if (!isFitting())
        return;
    if (currentFitLevel() != fitLevel_ || laidLevel_ != fitLevel_)
        receiveZoomLevelFrom(zoomButton_);
}

bool ZoomScrollView::viewportEvent(QEvent* event)
{
    const bool handled = QScrollArea::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        refit();
    return handled;
}

void ZoomScrollView::wheelEvent(QWheelEvent* event)
{
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        wheelAngle_ = 0;
        QScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    // Touchpads send small turns: a step is taken for each whole notch.
    wheelAngle_ += event->angleDelta().y();
    while (std::abs(wheelAngle_) >= wheelNotch) {
        const int direction = wheelAngle_ > 0 ? 1 : -1;
        wheelAngle_ -= direction * wheelNotch;
        stepZoomAbout(direction, event->position());
    }
}

void ZoomScrollView::stepZoomAbout(int direction, QPointF anchor)
{
    QWidget* doc = widget();
    if (!doc) {
        stepZoom(direction);
        return;
    }
    const QSizeF picture = pictureSize_ ? pictureSize_() : documentBounds();
    // The picture lies centred in its document view when it is the smaller.
    auto pictureOrigin = [&](double z) {
        return QPointF((doc->width() - picture.width() * z) / 2.0, (doc->height() - picture.height() * z) / 2.0);
    };
    const double before = factorOf(zoom());
    const QPointF onPicture = (doc->mapFrom(viewport(), anchor) - pictureOrigin(before)) / before;
    if (!stepZoom(direction))
        return;
    const double after = factorOf(zoom());
    const QPointF onDocument = pictureOrigin(after) + onPicture * after;
    horizontalScrollBar()->setValue(int(std::lround(onDocument.x() - anchor.x())));
    verticalScrollBar()->setValue(int(std::lround(onDocument.y() - anchor.y())));
}

}  // namespace korvex
