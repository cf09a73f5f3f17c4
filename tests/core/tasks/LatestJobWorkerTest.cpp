#include "core/tasks/LatestJobWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

using namespace korvex;

namespace {

// A job that runs until it is asked to stop, and says so.
struct Blocker {
    std::atomic<bool> started{false};
    std::atomic<bool> sawStop{false};

    LatestJobWorker::Job job()
    {
        return [this](std::stop_token stop) {
            started = true;
            while (!stop.stop_requested())
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            sawStop = true;
        };
    }
    void waitStarted() const
    {
        while (!started)
            std::this_thread::yield();
    }
};

TEST(LatestJobWorker, ANewJobStopsTheRunningOneAndReplacesTheWaitingOnes)
{
    LatestJobWorker worker;
    Blocker first;
    worker.post(first.job());
    first.waitStarted();
    std::mutex mutex;
    std::vector<int> ran;
    for (int i = 1; i <= 5; ++i)
        worker.post([&, i](std::stop_token) {
            std::lock_guard lock(mutex);
            ran.push_back(i);
        });
    worker.waitUntilIdle();
    EXPECT_TRUE(first.sawStop);
    // Jobs posted while another ran may replace each other; the last always runs.
    ASSERT_FALSE(ran.empty());
    EXPECT_EQ(ran.back(), 5);
    EXPECT_LE(ran.size(), 5u);
    EXPECT_TRUE(worker.isIdle());
}

TEST(LatestJobWorker, CancelStopsTheRunningJobAndDropsTheWaitingOne)
{
    LatestJobWorker worker;
    Blocker running;
    worker.post(running.job());
    running.waitStarted();
    std::atomic<bool> waitingRan{false};
    // Posted and then cancelled while the first still holds the thread.
    worker.post([&](std::stop_token stop) { waitingRan = !stop.stop_requested(); });
    worker.cancel();
    worker.waitUntilIdle();
    EXPECT_TRUE(running.sawStop);
    EXPECT_FALSE(waitingRan);
}

TEST(LatestJobWorker, WaitUntilIdleSeesTheJobsEffects)
{
    LatestJobWorker worker;
    int value = 0;  // plain: the wait must order the job's write before the read
    worker.post([&](std::stop_token) { value = 42; });
    worker.waitUntilIdle();
    EXPECT_EQ(value, 42);
}

TEST(LatestJobWorker, DestroyingTheWorkerStopsItsJob)
{
    Blocker running;
    {
        LatestJobWorker worker;
        worker.post(running.job());
        running.waitStarted();
    }
    EXPECT_TRUE(running.sawStop);
}

}  // namespace
