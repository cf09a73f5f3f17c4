#include "cli/InterruptCleanup.h"
#include "core/io/TemporaryFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvex;
namespace fs = std::filesystem;

namespace {

TEST(InterruptCleanup, ASignalRemovesTheFileBeingWrittenAndEndsTheProgramByIt)
{
    const fs::path folder = fs::path(::testing::TempDir()) / ("interrupt-" + std::to_string(::getpid()));
    for (const int signal : {SIGINT, SIGTERM}) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            InterruptCleanup::install();
            std::string temporary = (folder / ".out.png.XXXXXX").string();
            if (TemporaryFiles::create(temporary) < 0)
                ::_exit(3);
            ::kill(::getpid(), signal);  // as if Ctrl+C came in the middle of the write
            ::sleep(10);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_TRUE(fs::is_empty(folder)) << signal;
    }
    fs::remove_all(folder);
}

}  // namespace
