#include "core/io/AtomicFileStream.h"

#include "core/io/TemporaryFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvex {

namespace {

std::string reason(const char* what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

// A new file gets the usual permissions; a replaced one keeps its own.
mode_t modeFor(const std::string& path)
{
    struct stat existing;
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFileStream::~AtomicFileStream()
{
    discard();
}

void AtomicFileStream::discard()
{
    flush_.finish();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        TemporaryFiles::discard(temporary_);
        temporary_.clear();
    }
}

std::string AtomicFileStream::open(const std::string& path)
{
    discard();
    const std::size_t slash = path.find_last_of('/');
    folder_ = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return "names a folder, not a file";
    path_ = path;
    std::string temporary = (slash == std::string::npos ? std::string() : folder_) + "." + name + ".XXXXXX";
    fd_ = TemporaryFiles::create(temporary);
    appended_ = 0;
    handedToDisk_ = 0;
    if (fd_ < 0)
        return reason("cannot create a temporary file in the folder", errno);
    temporary_ = temporary;
    return {};
}

std::string AtomicFileStream::append(std::span<const std::uint8_t> data)
{
    if (fd_ < 0)
        return "cannot write: the file is not open";
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd_, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            discard();
            return reason("cannot write", error);
        }
        written += std::size_t(n);
    }
    appended_ += data.size();
    startWriteback();
    return {};
}

// The disk takes what is written while the rest is still being made, so
// that the flush at the commit waits only for the last few megabytes.
void AtomicFileStream::startWriteback()
{
    if (appended_ - handedToDisk_ < writebackStep)
        return;
    flush_.request(fd_);
    handedToDisk_ = appended_;
}

std::string AtomicFileStream::commit(AtomicFileWriter::Existing existing)
{
    if (fd_ < 0)
        return "cannot write: the file is not open";
    std::string failure;
    if (const int error = flush_.finish(); error != 0)
        failure = reason("cannot flush to the disk", error);
    if (failure.empty() && ::fchmod(fd_, modeFor(path_)) != 0)
        failure = reason("cannot set the permissions", errno);
    if (failure.empty() && ::fsync(fd_) != 0)
        failure = reason("cannot flush to the disk", errno);
    if (::close(fd_) != 0 && failure.empty())
        failure = reason("cannot write", errno);
    fd_ = -1;
    if (!failure.empty()) {
        discard();
        return failure;
    }
    const std::string temporary = std::move(temporary_);
    temporary_.clear();
    const bool replace = existing == AtomicFileWriter::Existing::Replace;
    if (const int error = TemporaryFiles::commit(temporary, path_, replace); error != 0)
        return error == EEXIST && !replace ? AtomicFileWriter::existsError : reason("cannot replace the file", error);

    // Make the rename itself durable; the file is complete either way.
    const int folderFd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {};
}

}  // namespace korvex
