// The order of a streamed composition's steps on one to four threads,
// checked by steps that note what has finished before each one starts.
#include "core/compose/BandPipeline.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace korvex;

namespace {

// Checks, as each step starts, that what it needs has finished and that no
// step of the same kind runs beside it; fails a source or the sink on request.
class CheckingSteps : public BandPipeline::Steps {
public:
    explicit CheckingSteps(const BandPipeline::Plan& plan) : plan_(plan) {}

    bool readSource(int side, int step) override
    {
        {
            const std::lock_guard lock(mutex_);
            check(!reading_[side], "two steps of one source at once");
            check(step == stepsDone_[side], "a source's steps out of order");
            const int band = step - plan_.firstBandStep[side];
            if (band >= 0 && band < plan_.bands)
                check(band - composed_ < plan_.sourceBandsInFlight, "a source band over one not yet composed");
            reading_[side] = true;
            log_.push_back((side == 0 ? "L" : "R") + std::to_string(step));
        }
        std::this_thread::yield();
        const std::lock_guard lock(mutex_);
        reading_[side] = false;
        ++stepsDone_[side];
        return step != refuseAt[side];
    }

    void compose(int band) override
    {
        {
            const std::lock_guard lock(mutex_);
            check(!composing_, "two compositions at once");
            check(band == composed_, "bands composed out of order");
            for (int side = 0; side < 2; ++side)
                check(stepsDone_[side] > plan_.firstBandStep[side] + band, "a band composed before its rows came");
            check(band - encoded_ < plan_.resultBandsInFlight, "a result band over one not yet encoded");
            composing_ = true;
            log_.push_back("C" + std::to_string(band));
        }
        std::this_thread::yield();
        const std::lock_guard lock(mutex_);
        composing_ = false;
        ++composed_;
    }

    bool encode(int band) override
    {
        {
            const std::lock_guard lock(mutex_);
            check(!encoding_, "two encodings at once");
            check(band == encoded_ && band < composed_, "a band encoded out of order or before it was composed");
            encoding_ = true;
            log_.push_back("E" + std::to_string(band));
        }
        std::this_thread::yield();
        const std::lock_guard lock(mutex_);
        encoding_ = false;
        ++encoded_;
        return band != failEncodeAt;
    }

    int refuseAt[2] = {-1, -1};
    int failEncodeAt = -1;

    std::vector<std::string> log() const { return log_; }
    std::vector<std::string> faults() const { return faults_; }
    int stepsDone(int side) const { return stepsDone_[side]; }
    int encoded() const { return encoded_; }
    bool running() const { return reading_[0] || reading_[1] || composing_ || encoding_; }

private:
    void check(bool holds, const char* fault)
    {
        if (!holds)
            faults_.emplace_back(fault);
    }

    const BandPipeline::Plan& plan_;
    std::mutex mutex_;
    std::vector<std::string> log_, faults_;
    int stepsDone_[2] = {};
    bool reading_[2] = {};
    int composed_ = 0, encoded_ = 0;
    bool composing_ = false, encoding_ = false;
};

BandPipeline::Plan planOf(int bands, int above0, int below0, int above1, int below1, int sourceDepth, int resultDepth,
                          int threads)
{
    BandPipeline::Plan plan;
    plan.bands = bands;
    plan.firstBandStep[0] = above0;
    plan.firstBandStep[1] = above1;
    plan.sourceSteps[0] = above0 + bands + below0;
    plan.sourceSteps[1] = above1 + bands + below1;
    plan.sourceBandsInFlight = sourceDepth;
    plan.resultBandsInFlight = resultDepth;
    plan.threads = threads;
    return plan;
}

}  // namespace

TEST(BandPipeline, RunsEveryStepOnceInAnOrderThatKeepsEachBandsNeeds)
{
    struct Case {
        const char* name;
        BandPipeline::Plan plan;
    };
    const std::vector<Case> cases = {
        {"one band, one thread", planOf(1, 0, 0, 0, 0, 1, 1, 1)},
        {"shallow rings, two threads", planOf(40, 0, 0, 0, 0, 1, 1, 2)},
        {"rows above and below, two threads", planOf(25, 3, 0, 0, 7, 6, 4, 2)},
        {"deep rings, four threads", planOf(60, 1, 2, 5, 0, 6, 4, 4)},
        {"more rows outside than inside, three threads", planOf(2, 30, 30, 0, 0, 2, 1, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int repeat = 0; repeat < 20; ++repeat) {
            CheckingSteps steps(c.plan);
            EXPECT_EQ(BandPipeline::run(c.plan, steps), BandPipeline::Stop::None);
            EXPECT_EQ(steps.faults(), std::vector<std::string>());
            EXPECT_EQ(steps.stepsDone(0), c.plan.sourceSteps[0]);
            EXPECT_EQ(steps.stepsDone(1), c.plan.sourceSteps[1]);
            EXPECT_EQ(steps.encoded(), c.plan.bands);
            if (HasFailure())
                break;
        }
    }
}

TEST(BandPipeline, EncodesEachBandAsSoonAsItIsComposedAndReadsTheSourceBehindFirst)
{
    // On one thread the order is fixed: nothing waits before the encoder,
    // and the left picture's two steps above the overlap come first.
    const BandPipeline::Plan plan = planOf(3, 2, 0, 0, 1, 6, 4, 1);
    CheckingSteps steps(plan);
    EXPECT_EQ(BandPipeline::run(plan, steps), BandPipeline::Stop::None);
    EXPECT_EQ(steps.log(), (std::vector<std::string>{"L0", "L1", "L2", "R0", "C0", "E0", "L3", "R1", "C1", "E1", "L4",
                                                     "R2", "C2", "E2", "R3"}));
}

TEST(BandPipeline, StopsAtTheFirstFailureAndReturnsOnceNoStepRuns)
{
    struct Case {
        const char* name;
        int refuseLeftAt, refuseRightAt, failEncodeAt;
        BandPipeline::Stop stop;
        int mostEncoded;
    };
    const std::vector<Case> cases = {
        {"left above the overlap", 0, -1, -1, BandPipeline::Stop::LeftRefused, 0},
        {"right in the overlap", -1, 20, -1, BandPipeline::Stop::RightRefused, 20},
        {"left below the overlap", 33, -1, -1, BandPipeline::Stop::LeftRefused, 30},
        {"sink at the tenth band", -1, -1, 9, BandPipeline::Stop::Sink, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const int threads : {1, 2, 4}) {
            const BandPipeline::Plan plan = planOf(30, 2, 2, 0, 4, 6, 4, threads);
            CheckingSteps steps(plan);
            steps.refuseAt[0] = c.refuseLeftAt;
            steps.refuseAt[1] = c.refuseRightAt;
            steps.failEncodeAt = c.failEncodeAt;
            EXPECT_EQ(BandPipeline::run(plan, steps), c.stop) << threads << " threads";
            EXPECT_FALSE(steps.running());
            EXPECT_EQ(steps.faults(), std::vector<std::string>());
            EXPECT_LE(steps.encoded(), c.mostEncoded);  // nothing that needs the failed step
        }
    }
}
