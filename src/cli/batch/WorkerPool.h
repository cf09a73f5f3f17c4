#pragma once

#include <cstddef>
#include <functional>

namespace korvex {

// Runs work(0) ... work(count - 1) on the given number of threads, each
// taking the next index as it becomes free; returns when all are done.
// Indices are started in order.
void runOnWorkers(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& work);

}  // namespace korvex
