#include "core/bitmap/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace korvex {

FileBytes readFileBytes(const std::string& path)
{
    FileBytes result;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        result.error = std::strerror(errno);
        return result;
    }
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) != 0) {
        result.error = std::strerror(errno);
        return result;
    }
    if (S_ISDIR(info.st_mode)) {
        result.error = "is a folder, not a picture file";
        return result;
    }
    // Pictures past this size cannot be within the decoders' limits anyway.
    constexpr long long maxFileBytes = 2LL << 30;
    if (info.st_size > maxFileBytes) {
        result.error = "file too large (" + std::to_string(info.st_size >> 20) + " MB)";
        return result;
    }
    try {
        result.data.resize(std::size_t(info.st_size));
    } catch (const std::bad_alloc&) {
        result.error = "not enough memory to read the file";
        return result;
    }
    const std::size_t got = std::fread(result.data.data(), 1, result.data.size(), file.get());
    if (got != result.data.size()) {
        result.error = std::ferror(file.get()) ? std::strerror(errno) : "file shrank while being read";
        result.data.clear();
    }
    return result;
}

}  // namespace korvex
