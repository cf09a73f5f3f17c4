#include "cli/batch/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace korvex;

namespace {

TEST(WorkerPool, EveryIndexRunsOnceWithNoMoreWorkersThanAsked)
{
    for (const std::size_t count : {0u, 1u, 5u, 64u}) {
        for (const unsigned workers : {1u, 3u, 8u}) {
            std::vector<std::atomic<int>> runs(count);
            std::atomic<unsigned> running{0}, mostAtOnce{0};
            runOnWorkers(count, workers, [&](std::size_t i) {
                const unsigned now = ++running;
                for (unsigned seen = mostAtOnce; now > seen && !mostAtOnce.compare_exchange_weak(seen, now);) {
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                ++runs[i];
                --running;
            });
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_EQ(runs[i], 1) << i << " of " << count << " on " << workers;
            EXPECT_LE(mostAtOnce, workers);
        }
    }
}

}  // namespace
