#include "core/io/AtomicFileWriter.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace korvex;
using korvex::testing::readText;
namespace fs = std::filesystem;

namespace {

std::span<const std::uint8_t> bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class AtomicFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("atomic-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::size_t entries() const { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }

    fs::path folder;
};

TEST_F(AtomicFileWriterTest, WritesAndReplacesWholeFiles)
{
    const fs::path target = folder / "out.png";
    EXPECT_EQ(AtomicFileWriter::write(target, bytes("first")), "");
    EXPECT_EQ(readText(target), "first");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_read, fs::perms::owner_read);

    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(AtomicFileWriter::write(target, bytes("second, longer")), "");
    EXPECT_EQ(readText(target), "second, longer");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(AtomicFileWriterTest, FailureLeavesNoTemporaryFileAndTheTargetAlone)
{
    // A folder in the way of the rename.
    const fs::path blocked = folder / "taken.png";
    fs::create_directories(blocked / "inside");
    EXPECT_NE(AtomicFileWriter::write(blocked, bytes("data")), "");
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(entries(), 1u);

    // A folder that does not exist.
    EXPECT_NE(AtomicFileWriter::write(folder / "missing" / "out.png", bytes("data")), "");
    EXPECT_NE(AtomicFileWriter::write(folder.string() + "/", bytes("data")), "");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFileWriterTest, AWriteCutShortByAFullDiskFails)
{
    // The file-size limit stands in for a full disk: the kernel takes the
    // first bytes and refuses the rest, which must not pass for success.
    const fs::path target = folder / "kept.png";
    std::ofstream(target) << "earlier";
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 40;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = AtomicFileWriter::write(target, bytes(std::string(5000, 'x')));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(readText(target), "earlier");
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
