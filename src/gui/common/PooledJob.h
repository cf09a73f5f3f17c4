#pragma once

#include "gui/common/QtHandOver.h"

#include <QFuture>
#include <QFutureInterface>
#include <QRunnable>
#include <QThreadPool>

#include <memory>
#include <optional>
#include <utility>

namespace korvex {

// Work for Qt's shared thread pool whose result the starting thread takes
// once the job's future has finished (a QFutureWatcher<void> on future()
// says when). The result travels beside the future rather than in it, and
// the pool is handed a task that nothing of Qt's copies, so that both
// hand-overs are ours to mark for ThreadSanitizer.
template <typename Result>
class PooledJob {
public:
    template <typename Work>
    static PooledJob start(Work work)
    {
        PooledJob job;
        job.result_ = std::make_shared<std::optional<Result>>();
        auto* task = new Task<Work>(std::move(work), job.result_);
        job.future_ = task->promise.future();
        sentThroughQt(task);
        QThreadPool::globalInstance()->start(task);  // which deletes it once run
        return job;
    }

    const QFuture<void>& future() const { return future_; }
    bool isFinished() const { return future_.isFinished(); }

    // Returns once the work has ended: all it did happens before what follows.
    void waitForFinished()
    {
        future_.waitForFinished();
        receivedThroughQt(result_.get());
    }

    // Once the future has finished: the work's result, taken once.
    Result takeResult()
    {
        receivedThroughQt(result_.get());
        return std::move(**result_);
    }

private:
    template <typename Work>
    struct Task : QRunnable {
        Task(Work w, std::shared_ptr<std::optional<Result>> r) : work(std::move(w)), result(std::move(r))
        {
            promise.reportStarted();
        }
        void run() override
        {
            receivedThroughQt(this);
            result->emplace(work());
            sentThroughQt(result.get());
            promise.reportFinished();
        }

        Work work;
        std::shared_ptr<std::optional<Result>> result;
        QFutureInterface<void> promise;
    };

    QFuture<void> future_;
    std::shared_ptr<std::optional<Result>> result_;  // shared with the task
};

}  // namespace korvex
