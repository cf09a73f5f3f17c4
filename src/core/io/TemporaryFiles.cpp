#include "core/io/TemporaryFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace korvex {

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<std::string> paths;
    bool closed = false;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

void forget(Registry& r, const std::string& path)
{
    const auto found = std::find(r.paths.begin(), r.paths.end(), path);
    if (found != r.paths.end())
        r.paths.erase(found);
}

// Renames without replacing: atomically where the file system can, else by a
// hard link, which fails just the same when the target exists.
int renameKeepingTarget(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

int TemporaryFiles::create(std::string& pathTemplate)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    if (r.closed) {
        errno = EINTR;
        return -1;
    }
    const int fd = ::mkostemp(pathTemplate.data(), O_CLOEXEC);
    if (fd >= 0)
        r.paths.push_back(pathTemplate);
    return fd;
}

int TemporaryFiles::commit(const std::string& temporary, const std::string& target, bool replace)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    int error = EINTR;
    if (!r.closed) {
        error = replace ? (::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno)
                        : renameKeepingTarget(temporary, target);
    }
    if (error != 0)
        ::unlink(temporary.c_str());
    forget(r, temporary);
    return error;
}

void TemporaryFiles::discard(const std::string& temporary)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    ::unlink(temporary.c_str());
    forget(r, temporary);
}

void TemporaryFiles::removeAll()
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.closed = true;
    for (const std::string& path : r.paths)
        ::unlink(path.c_str());
    r.paths.clear();
}

}  // namespace korvex
