#include "cli/batch/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace korvex {

void runOnWorkers(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& work)
{
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    const std::size_t threads = std::min<std::size_t>(std::max(workers, 1u), count);
    std::vector<std::jthread> pool;
    for (std::size_t t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();  // the calling thread is one of the workers
}

}  // namespace korvex
