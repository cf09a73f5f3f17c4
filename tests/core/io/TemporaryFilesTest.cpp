#include "core/io/TemporaryFiles.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvex;
using korvex::testing::readText;
namespace fs = std::filesystem;

namespace {

class TemporaryFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("temporaries-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // A recorded temporary holding text.
    std::string temporaryWith(const std::string& text)
    {
        std::string path = (folder / ".out.XXXXXX").string();
        const int fd = TemporaryFiles::create(path);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, text.data(), text.size()), ssize_t(text.size()));
        ::close(fd);
        return path;
    }

    std::size_t entries() const { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }

    fs::path folder;
};

TEST_F(TemporaryFilesTest, CommitReplacesOrKeepsTheTarget)
{
    struct Case {
        bool targetExists;
        bool replace;
        int expectedError;
        std::string expectedContent;
    };
    for (const Case& c : {Case{false, false, 0, "new"}, Case{false, true, 0, "new"}, Case{true, true, 0, "new"},
                          Case{true, false, EEXIST, "old"}}) {
        const fs::path target = folder / "out.png";
        fs::remove(target);
        if (c.targetExists)
            std::ofstream(target) << "old";
        const std::string temporary = temporaryWith("new");
        EXPECT_EQ(TemporaryFiles::commit(temporary, target, c.replace), c.expectedError);
        EXPECT_EQ(readText(target), c.expectedContent);
        EXPECT_EQ(entries(), 1u) << "the temporary is gone either way";
    }
}

TEST_F(TemporaryFilesTest, RemoveAllTakesEveryTemporaryAndRefusesMore)
{
    // removeAll ends the registry for the process: do it in a child.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string first = temporaryWith("a");
        const std::string second = temporaryWith("b");
        TemporaryFiles::removeAll();
        bool ok = !fs::exists(first) && !fs::exists(second);
        std::string another = (folder / ".late.XXXXXX").string();
        ok = ok && TemporaryFiles::create(another) == -1;
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(entries(), 0u);
}

}  // namespace
