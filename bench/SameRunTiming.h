#pragma once

// Timing a piece of work against a baseline in the same iteration, so that
// both see the same machine load: each is timed once per iteration and the
// medians are compared.
#include <algorithm>
#include <chrono>
#include <vector>

namespace korvex::bench {

inline double secondsOf(auto&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace korvex::bench
