#pragma once

#include <functional>

namespace korvex {

// Runs `first` here and `second` on a helper thread at the same time, and
// returns when both are done. Without a thread to be had, runs them in turn.
void runOnBothCores(const std::function<void()>& first, const std::function<void()>& second);

// Calls work(begin, end) for the rows 0 to rows - 1: in two halves at once
// when there are at least `parallelPixels` pixels, else in one call.
void splitRowsOnBothCores(int rows, long long pixels, const std::function<void(int, int)>& work);

inline constexpr long long parallelPixels = 1 << 18;

}  // namespace korvex
