#include "core/io/BackgroundFlush.h"

#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace korvex {

BackgroundFlush::~BackgroundFlush()
{
    finish();
}

void BackgroundFlush::request(int fd)
{
    {
        const std::lock_guard lock(mutex_);
        fd_ = fd;
        flushWanted_ = true;
    }
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread(&BackgroundFlush::run, this);
        } catch (const std::system_error&) {
            const std::lock_guard lock(mutex_);
            flushWanted_ = false;
        }
    }
    wanted_.notify_one();
}

int BackgroundFlush::finish()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wanted_.notify_one();
    if (thread_.joinable())
        thread_.join();
    const std::lock_guard lock(mutex_);
    const int error = error_;
    stopping_ = false;
    error_ = 0;
    return error;
}

void BackgroundFlush::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wanted_.wait(lock, [&] { return stopping_ || flushWanted_; });
        if (!flushWanted_)
            return;
        flushWanted_ = false;
        const int fd = fd_;
        lock.unlock();
        int error = 0;
        while (::fdatasync(fd) != 0) {
            if (errno != EINTR) {
                error = errno;
                break;
            }
        }
        lock.lock();
        if (error != 0 && error_ == 0)
            error_ = error;
    }
}

}  // namespace korvex
