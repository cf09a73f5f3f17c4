#include "core/compose/BandPipeline.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace korvex {

namespace {

class Schedule {
public:
    Schedule(const BandPipeline::Plan& plan, BandPipeline::Steps& steps) : plan_(plan), steps_(steps) {}

    // One thread's share: takes ready steps until every step is done or one failed.
    void work()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (stop_ != BandPipeline::Stop::None || finished())
                return;
            if (!runNextStep(lock))
                changed_.wait(lock);
        }
    }

    BandPipeline::Stop stop() const { return stop_; }

private:
    bool finished() const
    {
        return encoded_ == plan_.bands && sourceStep_[0] == plan_.sourceSteps[0]
               && sourceStep_[1] == plan_.sourceSteps[1];
    }

    // Runs the most urgent ready step with the lock let go; false when none is ready.
    bool runNextStep(std::unique_lock<std::mutex>& lock)
    {
        if (!encoding_ && encoded_ < composed_) {
            const int band = encoded_;
            encoding_ = true;
            lock.unlock();
            const bool written = steps_.encode(band);
            lock.lock();
            encoding_ = false;
            ++encoded_;
            finishStep(written, BandPipeline::Stop::Sink);
            return true;
        }
        if (!composing_ && composed_ < plan_.bands && bandsRead(0) > composed_ && bandsRead(1) > composed_
            && composed_ - encoded_ < plan_.resultBandsInFlight) {
            const int band = composed_;
            composing_ = true;
            lock.unlock();
            steps_.compose(band);
            lock.lock();
            composing_ = false;
            ++composed_;
            finishStep(true, BandPipeline::Stop::None);
            return true;
        }
        // The source further behind first, so that both bands of the next
        // composition come in together.
        int sides[2] = {0, 1};
        if (sourceStep_[1] - plan_.firstBandStep[1] < sourceStep_[0] - plan_.firstBandStep[0])
            std::swap(sides[0], sides[1]);
        for (const int side : sides) {
            if (!sourceReady(side))
                continue;
            const int step = sourceStep_[side];
            reading_[side] = true;
            lock.unlock();
            const bool read = steps_.readSource(side, step);
            lock.lock();
            reading_[side] = false;
            ++sourceStep_[side];
            finishStep(read, side == 0 ? BandPipeline::Stop::LeftRefused : BandPipeline::Stop::RightRefused);
            return true;
        }
        return false;
    }

    // Bands of the overlap that the source has read.
    int bandsRead(int side) const
    {
        return std::clamp(sourceStep_[side] - plan_.firstBandStep[side], 0, plan_.bands);
    }

    bool sourceReady(int side) const
    {
        if (reading_[side] || sourceStep_[side] == plan_.sourceSteps[side])
            return false;
        // A band of the overlap needs its slot of the ring free; rows above
        // and below the overlap go to a band of their own.
        const int band = sourceStep_[side] - plan_.firstBandStep[side];
        return band < 0 || band >= plan_.bands || band - composed_ < plan_.sourceBandsInFlight;
    }

    void finishStep(bool succeeded, BandPipeline::Stop failure)
    {
        if (!succeeded && stop_ == BandPipeline::Stop::None)
            stop_ = failure;
        changed_.notify_all();
    }

    const BandPipeline::Plan& plan_;
    BandPipeline::Steps& steps_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int sourceStep_[2] = {};
    bool reading_[2] = {};
    int composed_ = 0;
    bool composing_ = false;
    int encoded_ = 0;
    bool encoding_ = false;
    BandPipeline::Stop stop_ = BandPipeline::Stop::None;
};

}  // namespace

BandPipeline::Stop BandPipeline::run(const Plan& plan, Steps& steps)
{
    Schedule schedule(plan, steps);
    std::vector<std::thread> helpers;
    for (int i = 1; i < plan.threads; ++i) {
        try {
            helpers.emplace_back(&Schedule::work, &schedule);
        } catch (const std::system_error&) {
            break;  // fewer threads take the same steps
        }
    }
    schedule.work();
    for (std::thread& helper : helpers)
        helper.join();
    return schedule.stop();
}

int BandPipeline::threadsForThisMachine()
{
    return std::clamp(int(std::thread::hardware_concurrency()), 2, 4);
}

}  // namespace korvex
