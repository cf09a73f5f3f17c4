#include "cli/batch/BatchProgress.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace korvex;

namespace {

TEST(BatchProgress, StatusLineSaysDoneFailuresRateAndTimeLeft)
{
    const std::vector<std::tuple<std::size_t, std::size_t, std::size_t, double, std::string>> cases{
        {0, 10, 0, 0.0, "0/10 done, 0 failures"},
        {5, 10, 1, 2.0, "5/10 done, 1 failure, 2.5 pictures/s, about 2s left"},
        {1, 301, 0, 1.0, "1/301 done, 0 failures, 1.0 pictures/s, about 5m00s left"},
        {1, 7202, 2, 1.0, "1/7202 done, 2 failures, 1.0 pictures/s, about 2h00m left"},
        {10, 10, 0, 4.0, "10/10 done, 0 failures, 2.5 pictures/s"},
    };
    for (const auto& [done, total, failures, seconds, expected] : cases)
        EXPECT_EQ(BatchProgress::statusLine(done, total, failures, seconds), expected);
}

TEST(BatchProgress, MessagesOnlyWhenNotATerminal)
{
    std::ostringstream err;
    BatchProgress progress(err, 2, false);
    progress.jobFinished(false);
    progress.message("korvex-compose: one");
    progress.jobFinished(true);
    progress.finish();
    EXPECT_EQ(err.str(), "korvex-compose: one\n");
}

TEST(BatchProgress, OnATerminalTheStatusLineIsRedrawnBelowTheMessages)
{
    std::ostringstream err;
    BatchProgress progress(err, 2, true);
    progress.message("m");
    progress.jobFinished(true);
    progress.jobFinished(false);
    progress.finish();
    const std::string text = err.str();
    EXPECT_EQ(text.rfind("m\n\r0/2 done, 0 failures\x1b[K", 0), 0u) << text;
    EXPECT_NE(text.find("\r2/2 done, 1 failure"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
}

}  // namespace
