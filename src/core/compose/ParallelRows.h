#pragma once

#include <functional>

namespace korvex {

// Above this many pixels a composition splits its rows between two threads.
constexpr long long parallelRowsThreshold = 1 << 18;

// Calls fill(firstRow, endRow) over rows 0 to height - 1: the lower half on a
// helper thread when the picture has more than parallelRowsThreshold pixels.
// The rows must be independent. Returns once every row is done.
void fillRowsOnBothCores(int width, int height, const std::function<void(int, int)>& fill);

}  // namespace korvex
