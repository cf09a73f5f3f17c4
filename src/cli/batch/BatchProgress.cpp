#include "cli/batch/BatchProgress.h"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace korvex {

namespace {

// Redraws at most this often; more would cost the terminal more than it tells.
constexpr auto redrawInterval = std::chrono::milliseconds(200);
// Erases from the cursor to the end of the line.
constexpr const char* clearToEnd = "\x1b[K";

std::string duration(double seconds)
{
    const long total = std::lround(seconds);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ldh%02ldm", total / 3600, total / 60 % 60);
    else if (total >= 60)
        std::snprintf(text, sizeof text, "%ldm%02lds", total / 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%lds", total);
    return text;
}

}  // namespace

BatchProgress::BatchProgress(std::ostream& err, std::size_t total, bool showStatusLine)
    : err_(err), total_(total), showStatusLine_(showStatusLine)
{
}

std::string BatchProgress::statusLine(std::size_t done, std::size_t total, std::size_t failures, double seconds)
{
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " done, " + std::to_string(failures)
        + (failures == 1 ? " failure" : " failures");
    if (done > 0 && seconds > 0) {
        const double rate = double(done) / seconds;
        char text[32];
        std::snprintf(text, sizeof text, ", %.1f pictures/s", rate);
        line += text;
        if (done < total)
            line += ", about " + duration(double(total - done) / rate) + " left";
    }
    return line;
}

void BatchProgress::jobFinished(bool failed)
{
    const std::lock_guard lock(mutex_);
    ++done_;
    failures_ += failed;
    drawLocked(done_ == total_);
}

void BatchProgress::message(const std::string& line)
{
    const std::lock_guard lock(mutex_);
    if (lineShown_)
        err_ << '\r' << clearToEnd;
    err_ << line << '\n';
    lineShown_ = false;
    drawLocked(true);
}

void BatchProgress::finish()
{
    const std::lock_guard lock(mutex_);
    drawLocked(true);
    if (lineShown_)
        err_ << '\n';
    lineShown_ = false;
    err_.flush();
}

void BatchProgress::drawLocked(bool force)
{
    if (!showStatusLine_)
        return;
    const Clock::time_point now = Clock::now();
    if (!force && now - lastDrawn_ < redrawInterval)
        return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    err_ << '\r' << statusLine(done_, total_, failures_, seconds) << clearToEnd;
    err_.flush();
    lineShown_ = true;
}

}  // namespace korvex
