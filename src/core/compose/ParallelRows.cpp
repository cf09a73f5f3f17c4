#include "core/compose/ParallelRows.h"

#include <system_error>
#include <thread>

namespace korvex {

void fillRowsOnBothCores(int width, int height, const std::function<void(int, int)>& fill)
{
    if ((long long)width * height < parallelRowsThreshold || height < 2) {
        fill(0, height);
        return;
    }
    const int split = height / 2;
    try {
        std::thread helper(fill, split, height);
        fill(0, split);
        helper.join();
    } catch (const std::system_error&) {
        // No thread to be had: do the whole picture here.
        fill(0, height);
    }
}

}  // namespace korvex
