// Work on Qt's pool: it reads what the starting thread prepared, its result
// comes back whole once the future says finished, waiting for it shows all it
// did, and a dropped job frees its result when the work ends. Under
// ThreadSanitizer these also check the marked hand-overs: Qt's own ordering
// is hidden from it there.
#include "gui/common/PooledJob.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QSignalSpy>
#include <QThread>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <numeric>
#include <vector>

using namespace korvex;

namespace {

std::vector<int> numbers(int count, int first)
{
    std::vector<int> values(count);
    std::iota(values.begin(), values.end(), first);
    return values;
}

TEST(PooledJobTest, TheResultComesBackOnTheStartingThreadOnceFinished)
{
    struct Case {
        int count, first;
    };
    for (const Case c : {Case{1, 7}, Case{1000, -500}, Case{100000, 3}}) {
        const std::vector<int> input = numbers(c.count, c.first);
        QThread* const windowThread = QThread::currentThread();
        struct Answer {
            long long sum = 0;
            std::vector<int> doubled;
            bool offThread = false;
        };
        PooledJob<Answer> job = PooledJob<Answer>::start([&input, windowThread] {
            Answer answer;
            answer.offThread = QThread::currentThread() != windowThread;
            for (int v : input) {
                answer.sum += v;
                answer.doubled.push_back(2 * v);
            }
            return answer;
        });
        QFutureWatcher<void> watcher;
        QSignalSpy finished(&watcher, &QFutureWatcher<void>::finished);
        watcher.setFuture(job.future());
        ASSERT_TRUE(finished.count() == 1 || finished.wait(30000)) << c.count;
        EXPECT_TRUE(job.isFinished());
        const Answer answer = job.takeResult();
        EXPECT_TRUE(answer.offThread);
        // n terms from `first`: n * first + n (n - 1) / 2
        const long long n = c.count;
        EXPECT_EQ(answer.sum, n * c.first + n * (n - 1) / 2) << c.count;
        ASSERT_EQ(answer.doubled.size(), input.size());
        for (std::size_t i = 0; i < input.size(); i += 997)
            EXPECT_EQ(answer.doubled[i], 2 * input[i]);
    }
}

TEST(PooledJobTest, WaitingShowsEverythingTheWorkWroteAndTakesMoveOnlyWork)
{
    std::vector<int> written(50000, 0);
    auto owned = std::make_unique<int>(9);
    PooledJob<std::unique_ptr<int>> job = PooledJob<std::unique_ptr<int>>::start(
        [&written, owned = std::move(owned)]() mutable {
            for (std::size_t i = 0; i < written.size(); ++i)
                written[i] = int(i) * *owned;
            return std::move(owned);
        });
    // No event loop turns here: only the wait orders the work's writes before these reads.
    job.waitForFinished();
    for (std::size_t i = 0; i < written.size(); i += 1001)
        EXPECT_EQ(written[i], int(i) * 9);
    std::unique_ptr<int> back = job.takeResult();
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, 9);
}

TEST(PooledJobTest, ADroppedJobFreesItsResultWhenTheWorkEnds)
{
    static std::atomic<int> alive{0};
    struct Counted {
        Counted() { ++alive; }
        Counted(Counted&&) noexcept { ++alive; }
        ~Counted() { --alive; }
    };
    {
        PooledJob<Counted> job = PooledJob<Counted>::start([] { return Counted(); });
        job.waitForFinished();
        EXPECT_EQ(alive.load(), 1);  // held for whoever takes it
    }
    // Nobody waits for or takes this one: the last holder frees it.
    PooledJob<Counted>::start([] {
        QThread::msleep(20);
        return Counted();
    });
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(30000));
    EXPECT_EQ(alive.load(), 0);
}

}  // namespace
