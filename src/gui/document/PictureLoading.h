#pragma once

#include "core/bitmap/ImageDecoder.h"
#include "gui/common/PooledJob.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMainWindow;

namespace korvex {

class ImageView;

// Decoding of opened, dropped and pasted pictures away from the window's
// thread, so that the window stays live while a big pair decodes. Each load
// names the views it fills; a newer load into any of them supersedes it, and
// the superseded pictures never land. While anything loads the window shows
// a busy cursor and says what it opens in the status bar. A load still
// decoding when the window goes is dropped with it.
class PictureLoading : public QObject {
    Q_OBJECT

public:
    // One decoded picture (or its failure) per view, in the order of the views.
    using Pictures = std::vector<DecodeResult>;
    // Runs on a worker thread: it must read nothing the window owns.
    using Decode = std::function<Pictures()>;
    // Runs on the window's thread, once, if the load is still the latest for its views.
    using Land = std::function<void(Pictures)>;
    static Pictures one(DecodeResult picture);

    explicit PictureLoading(QMainWindow& window);
    ~PictureLoading() override;

    // `name` says in the status bar what is being opened (nothing for dropped or pasted data).
    void start(const std::vector<ImageView*>& views, const QString& name, Decode decode, Land land);
    bool isLoading() const { return !running_.empty(); }
    // Drops every load: nothing lands (the window is closing).
    void cancel();

signals:
    // A load's pictures have landed (or their failure has been reported).
    void landed();
    // The last running load has landed or been superseded.
    void idle();

private:
    using Watcher = QFutureWatcher<void>;
    struct Running {
        std::vector<ImageView*> views;
        Watcher* watcher;
        QString message;
    };

    void finished(Watcher* watcher, PooledJob<Pictures>& decoding, Land land);
    std::vector<Running>::iterator drop(std::vector<Running>::iterator running);
    void showBusy();

    QMainWindow& window_;
    std::vector<Running> running_;
    QString shownMessage_;
};

}  // namespace korvex
