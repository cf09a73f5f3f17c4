#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace korvex {

// One worker thread for work that only the latest request matters for (the
// window's full composition). A new job asks the running one to stop and
// replaces any job still waiting, so a burst of requests runs at most the
// job in progress and the last one. Jobs see their stop request through the
// token they are given and should look at it often. The thread runs at a
// lower priority than the others, so that it never slows the thread posting.
class LatestJobWorker {
public:
    static constexpr int backgroundNiceness = 5;

    using Job = std::function<void(std::stop_token)>;

    LatestJobWorker();
    // Stops the running job, drops the waiting one and joins the thread.
    ~LatestJobWorker();
    LatestJobWorker(const LatestJobWorker&) = delete;
    LatestJobWorker& operator=(const LatestJobWorker&) = delete;

    void post(Job job);
    // Stops the running job and drops the waiting one.
    void cancel();
    // Returns once no job runs or waits.
    void waitUntilIdle();
    bool isIdle() const;

private:
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    Job waiting_;
    bool running_ = false;
    bool quitting_ = false;
    std::stop_source runningStop_;
    std::thread thread_;  // last: starts once the members above exist
};

}  // namespace korvex
