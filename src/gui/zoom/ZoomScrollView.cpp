#include "gui/zoom/ZoomScrollView.h"

#include "gui/common/Strings.h"

#include <QComboBox>
#include <QScrollBar>

#include <cmath>

namespace korvex {

namespace {

double factorOf(int level)
{
    return level > 0 ? level / 100.0 : 1.0;
}

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
    if (zoomMenu.isEmpty())
        return;

    zoomButton_ = new QComboBox(this);
    zoomButton_->setObjectName(QStringLiteral("zoomButton"));
    zoomButton_->setAccessibleName(localizedString("AccZoom"));
    for (int level : zoomMenu)
        zoomButton_->addItem(QString::number(level) + QLatin1Char('%'), level);
    const int hundred = zoomButton_->findData(100);
    zoomButton_->setCurrentIndex(hundred >= 0 ? hundred : 0);
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
    return zoomButton_->currentData().toInt();
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

}  // namespace korvex
