#pragma once

#include "core/align/PairAlignment.h"
#include "core/compose/PairPlacement.h"
#include "core/compose/UserDefaults.h"
#include "gui/common/PooledJob.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>
#include <stop_token>
#include <string_view>

namespace korvex {

class MyDocument;

// Auto Align for one document window: searches the pair on a worker thread
// (on copies of the pictures, so loads may go on meanwhile), then applies
// the placement in one step and says how it went in the status bar. A new
// load cancels a search that is running.
class AutoAligner : public QObject {
    Q_OBJECT

public:
    static constexpr std::string_view alignOnLoadKey = "AlignOnLoad";

    AutoAligner(MyDocument& document, UserDefaults& defaults);
    ~AutoAligner() override;

    // Starts a search for the present pair; one already running is dropped.
    void start();
    // Drops the running search, if any: its answer will not be applied.
    void cancel();
    // Cancels, then waits for every search started here, the dropped ones
    // too (each stops at its next check): the window calls it before it
    // frees the pictures they read, its undo steps' among them.
    void finishSearches();
    bool isRunning() const { return running_ != nullptr; }

    // After a load: cancels, and starts a search when the preference asks
    // for one and both pictures are there.
    void picturesLoaded();
    bool alignOnLoad() const;
    void setAlignOnLoad(bool on);

    // A left or right picture that a load replaces: a search still running
    // (or cancelled but not yet ended) reads it, so it stays until that ends.
    void keepWhileSearching(const std::shared_ptr<Bitmap>& picture);

    // The status bar's words for an alignment applied with this result.
    static QString describe(const PairAlignment& found, const PlacedAlignment& placed, double leftWidth);

    // What the worker hands back: the search, the placement it gives, and
    // the right picture resampled through it, for the pictures of these
    // generations.
    struct Answer {
        PairAlignment found;
        PlacedAlignment placed;
        std::unique_ptr<Bitmap> corrected;
        std::uint64_t leftGeneration = 0, rightGeneration = 0;
        double leftWidth = 0;
    };

signals:
    // A search ended and its answer was applied or refused (not when cancelled).
    void finished(bool aligned);

private:
    // What a search holds on to: the pictures replaced while it ran.
    struct Keeper {
        std::mutex mutex;
        std::vector<std::shared_ptr<Bitmap>> pictures;
    };

    void apply(Answer answer);

    MyDocument& document_;
    UserDefaults& defaults_;
    QFutureWatcher<void>* running_ = nullptr;
    std::stop_source stop_;
    std::vector<std::weak_ptr<Keeper>> searches_;  // alive while their worker runs
    std::vector<PooledJob<Answer>> unfinished_;     // every search started, until it has ended
};

}  // namespace korvex
