#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <mutex>
#include <string>

namespace korvex {

// The batch's messages and, on a terminal, one status line below them that is
// redrawn in place: done/total, failures, pictures a second and time left.
// Safe to call from every worker.
class BatchProgress {
public:
    using Clock = std::chrono::steady_clock;

    BatchProgress(std::ostream& err, std::size_t total, bool showStatusLine);

    void jobFinished(bool failed);
    // One line above the status line.
    void message(const std::string& line);
    // Leaves the last status line standing.
    void finish();

    static std::string statusLine(std::size_t done, std::size_t total, std::size_t failures, double seconds);

private:
    void drawLocked(bool force);

    std::ostream& err_;
    std::mutex mutex_;
    const std::size_t total_;
    const bool showStatusLine_;
    std::size_t done_ = 0;
    std::size_t failures_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
    bool lineShown_ = false;
};

}  // namespace korvex
