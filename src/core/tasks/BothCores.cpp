#include "core/tasks/BothCores.h"

#include <exception>
#include <system_error>
#include <thread>

namespace korvex {

void runOnBothCores(const std::function<void()>& first, const std::function<void()>& second)
{
    // An exception on either side (memory running short) reaches the caller
    // once both sides are done, never a thread's end.
    std::exception_ptr secondFailure;
    auto guardedSecond = [&] {
        try {
            second();
        } catch (...) {
            secondFailure = std::current_exception();
        }
    };
    std::thread helper;
    try {
        helper = std::thread(guardedSecond);
    } catch (const std::system_error&) {
        first();
        second();
        return;
    }
    std::exception_ptr firstFailure;
    try {
        first();
    } catch (...) {
        firstFailure = std::current_exception();
    }
    helper.join();
    if (firstFailure)
        std::rethrow_exception(firstFailure);
    if (secondFailure)
        std::rethrow_exception(secondFailure);
}

void splitRowsOnBothCores(int rows, long long pixels, const std::function<void(int, int)>& work)
{
    if (pixels < parallelPixels || rows < 2) {
        work(0, rows);
        return;
    }
    const int split = rows / 2;
    runOnBothCores([&] { work(0, split); }, [&] { work(split, rows); });
}

}  // namespace korvex
