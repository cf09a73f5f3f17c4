#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace korvex {

// Flushes a file to the disk on a thread of its own while the file is still
// being written, so that the flush before the file is committed waits only
// for what came after the last one: a disk behind a cache (a virtual
// machine's, a controller's) takes a flush in time proportional to what it
// carries, and with nothing else left to do the whole program would wait.
class BackgroundFlush {
public:
    BackgroundFlush() = default;
    ~BackgroundFlush();
    BackgroundFlush(const BackgroundFlush&) = delete;
    BackgroundFlush& operator=(const BackgroundFlush&) = delete;

    // Flushes the data of fd as far as it is written now, and returns at
    // once. One flush runs at a time; requests made meanwhile become one more.
    // Without a thread to be had, nothing is flushed before finish()'s caller
    // flushes the rest itself.
    void request(int fd);
    // Waits for the flushes asked for; then fd may be closed. The error
    // number of the first that failed, or 0.
    int finish();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wanted_;
    std::thread thread_;
    int fd_ = -1;
    bool flushWanted_ = false;
    bool stopping_ = false;
    int error_ = 0;
};

}  // namespace korvex
