#pragma once

#include "core/io/AtomicFileWriter.h"
#include "core/io/BackgroundFlush.h"

#include <cstdint>
#include <span>
#include <string>

namespace korvex {

// AtomicFileWriter for bytes that arrive in pieces: they go to the temporary
// file as they come, and only commit() puts the file in place. A stream
// dropped before its commit leaves nothing behind.
class AtomicFileStream {
public:
    AtomicFileStream() = default;
    ~AtomicFileStream();
    AtomicFileStream(const AtomicFileStream&) = delete;
    AtomicFileStream& operator=(const AtomicFileStream&) = delete;

    // Each call returns why the file cannot be written, or an empty string.
    std::string open(const std::string& path);
    std::string append(std::span<const std::uint8_t> data);
    std::string commit(AtomicFileWriter::Existing existing = AtomicFileWriter::Existing::Replace);

private:
    void discard();
    void startWriteback();

    static constexpr std::uint64_t writebackStep = std::uint64_t(2) << 20;

    std::string path_;
    std::string folder_;
    std::string temporary_;
    int fd_ = -1;
    std::uint64_t appended_ = 0;
    std::uint64_t handedToDisk_ = 0;  // bytes whose flush has been asked for
    BackgroundFlush flush_;
};

}  // namespace korvex
