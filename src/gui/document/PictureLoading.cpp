#include "gui/document/PictureLoading.h"

#include "gui/common/Strings.h"

#include <QMainWindow>
#include <QStatusBar>

#include <algorithm>

namespace korvex {

PictureLoading::PictureLoading(QMainWindow& window) : QObject(&window), window_(window) {}

PictureLoading::~PictureLoading()
{
    // The window is being taken apart: nothing of it is touched, nothing lands.
    for (Running& running : running_)
        running.watcher->disconnect(this);
}

PictureLoading::Pictures PictureLoading::one(DecodeResult picture)
{
    Pictures pictures;
    pictures.push_back(std::move(picture));
    return pictures;
}

void PictureLoading::start(const std::vector<ImageView*>& views, const QString& name, Decode decode, Land land)
{
    // A newer load into a view wins over one still decoding for it.
    for (auto it = running_.begin(); it != running_.end();) {
        const bool overlaps = std::ranges::any_of(it->views, [&views](ImageView* view) {
            return std::ranges::find(views, view) != views.end();
        });
        it = overlaps ? drop(it) : std::next(it);
    }
    PooledJob<Pictures> decoding = PooledJob<Pictures>::start(std::move(decode));
    auto* watcher = new Watcher(this);
    connect(watcher, &Watcher::finished, this, [this, watcher, decoding, land = std::move(land)]() mutable {
        finished(watcher, decoding, land);
    });
    const QString message = name.isEmpty() ? localizedString("LoadingPicture") : localizedString("LoadingPictures").arg(name);
    running_.push_back({views, watcher, message});
    showBusy();
    watcher->setFuture(decoding.future());
}

void PictureLoading::cancel()
{
    const bool wasLoading = isLoading();
    while (!running_.empty())
        drop(running_.begin());
    if (wasLoading)
        showBusy();
}

void PictureLoading::finished(Watcher* watcher, PooledJob<Pictures>& decoding, Land land)
{
    const auto it = std::ranges::find(running_, watcher, &Running::watcher);
    if (it == running_.end())
        return;
    Pictures pictures = decoding.takeResult();
    drop(it);
    // The busy state goes first, so that what the landing says stays in the status bar.
    showBusy();
    land(std::move(pictures));
    emit landed();
    if (!isLoading())
        emit idle();
}

std::vector<PictureLoading::Running>::iterator PictureLoading::drop(std::vector<Running>::iterator running)
{
    // A decode still running goes on unheard; its pictures are freed with the last reference to them.
    running->watcher->disconnect(this);
    running->watcher->deleteLater();
    return running_.erase(running);
}

void PictureLoading::showBusy()
{
    QStatusBar* bar = window_.statusBar();
    if (running_.empty()) {
        window_.unsetCursor();
        // Only the loading words go: a note shown meanwhile stays.
        if (bar->currentMessage() == shownMessage_)
            bar->clearMessage();
        shownMessage_.clear();
        return;
    }
    window_.setCursor(Qt::BusyCursor);
    shownMessage_ = running_.back().message;
    bar->showMessage(shownMessage_);
}

}  // namespace korvex
