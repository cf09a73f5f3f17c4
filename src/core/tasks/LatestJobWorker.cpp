#include "core/tasks/LatestJobWorker.h"

#include <utility>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace korvex {

LatestJobWorker::LatestJobWorker() : thread_([this] { run(); })
{
}

LatestJobWorker::~LatestJobWorker()
{
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
        runningStop_.request_stop();
        waiting_ = nullptr;
    }
    wake_.notify_all();
    thread_.join();
}

void LatestJobWorker::post(Job job)
{
    {
        std::lock_guard lock(mutex_);
        runningStop_.request_stop();
        waiting_ = std::move(job);
    }
    wake_.notify_all();
}

void LatestJobWorker::cancel()
{
    {
        std::lock_guard lock(mutex_);
        runningStop_.request_stop();
        waiting_ = nullptr;
    }
    idle_.notify_all();
}

void LatestJobWorker::waitUntilIdle()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !running_ && !waiting_; });
}

bool LatestJobWorker::isIdle() const
{
    std::lock_guard lock(mutex_);
    return !running_ && !waiting_;
}

void LatestJobWorker::run()
{
#ifdef __linux__
    // Behind the thread that posts: a step's quick answer there must not
    // wait for the cores that the previous step's long job (and the helpers
    // it starts, which inherit this) still holds. Linux takes a thread id here.
    setpriority(PRIO_PROCESS, id_t(gettid()), backgroundNiceness);
#endif
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quitting_ || bool(waiting_); });
        if (quitting_)
            return;
        Job job = std::move(waiting_);
        waiting_ = nullptr;
        runningStop_ = std::stop_source();
        const std::stop_token stop = runningStop_.get_token();
        running_ = true;
        lock.unlock();
        job(stop);
        job = nullptr;  // whatever it holds goes before the worker says it is idle
        lock.lock();
        running_ = false;
        if (!waiting_)
            idle_.notify_all();
    }
}

}  // namespace korvex
