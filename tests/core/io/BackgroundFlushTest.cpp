// Flushing a file on a thread of its own while it is written: the failures
// reach the committing caller, and a stream of many megabytes, flushed
// piece by piece, lands whole.
#include "core/io/AtomicFileStream.h"
#include "core/io/BackgroundFlush.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace korvex;
namespace fs = std::filesystem;

TEST(BackgroundFlush, ReportsTheFirstFailureOnceAndStartsAgainAfterwards)
{
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const fs::path path = fs::path(::testing::TempDir()) / ("flush-" + std::to_string(::getpid()));
    const int file = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0600);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "data", 4), 4);

    BackgroundFlush flush;
    EXPECT_EQ(flush.finish(), 0);  // nothing asked for
    struct Case {
        const char* name;
        int fd;
        int error;
    };
    // A pipe cannot be flushed: the error must not be lost on the thread.
    for (const Case& c : {Case{"file", file, 0}, Case{"pipe", pipeEnds[1], EINVAL}, Case{"file again", file, 0}}) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 20; ++i)
            flush.request(c.fd);
        EXPECT_EQ(flush.finish(), c.error);
        EXPECT_EQ(flush.finish(), 0);  // told once
    }
    ::close(file);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    fs::remove(path);
}

TEST(BackgroundFlush, AStreamOfManyMegabytesLandsWholeAndAlone)
{
    const fs::path folder = fs::path(::testing::TempDir()) / ("flush-stream-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / "out.jpg";
    std::vector<std::uint8_t> expected(std::size_t(9) << 20);
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i] = std::uint8_t(i * 2654435761u >> 24);

    for (const auto existing : {AtomicFileWriter::Existing::Keep, AtomicFileWriter::Existing::Replace}) {
        AtomicFileStream stream;
        ASSERT_EQ(stream.open(target.string()), "");
        for (std::size_t at = 0; at < expected.size(); at += 65536)
            ASSERT_EQ(stream.append(std::span(expected).subspan(at, 65536)), "");
        ASSERT_EQ(stream.commit(existing), "");
        std::ifstream in(target, std::ios::binary);
        const std::vector<std::uint8_t> written{std::istreambuf_iterator<char>(in), {}};
        EXPECT_TRUE(written == expected);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }

    // Dropped before its commit, with flushes under way: nothing is left.
    {
        AtomicFileStream stream;
        ASSERT_EQ(stream.open((folder / "dropped.jpg").string()), "");
        for (std::size_t at = 0; at < expected.size(); at += 1 << 20)
            ASSERT_EQ(stream.append(std::span(expected).subspan(at, 1 << 20)), "");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}
