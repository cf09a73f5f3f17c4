#include "core/io/AtomicFileWriter.h"

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

std::string AtomicFileWriter::write(const std::string& path, std::span<const std::uint8_t> data, Existing existing)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return "names a folder, not a file";

    std::string temporary = (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";
    const int fd = TemporaryFiles::create(temporary);
    if (fd < 0)
        return reason("cannot create a temporary file in the folder", errno);

    std::string failure;
    std::size_t written = 0;
    while (failure.empty() && written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failure = reason("cannot write", errno);
        else
            written += std::size_t(n);
    }
    if (failure.empty() && ::fchmod(fd, modeFor(path)) != 0)
        failure = reason("cannot set the permissions", errno);
    if (failure.empty() && ::fsync(fd) != 0)
        failure = reason("cannot flush to the disk", errno);
    if (::close(fd) != 0 && failure.empty())
        failure = reason("cannot write", errno);
    if (!failure.empty()) {
        TemporaryFiles::discard(temporary);
        return failure;
    }
    if (const int error = TemporaryFiles::commit(temporary, path, existing == Existing::Replace); error != 0)
        return error == EEXIST && existing == Existing::Keep ? existsError : reason("cannot replace the file", error);

    // Make the rename itself durable; the file is complete either way.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {};
}

}  // namespace korvex
