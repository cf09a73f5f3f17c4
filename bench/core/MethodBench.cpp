#include "../SameRunTiming.h"
#include "core/compose/AnaglyphComposer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

using namespace korvex;
using bench::median;
using bench::secondsOf;

namespace {

// A 24-megapixel pair (6000 x 4000) of 24-bit noise and its result canvas.
struct BigPair {
    std::unique_ptr<Bitmap> left;
    std::unique_ptr<Bitmap> right;
    std::unique_ptr<Bitmap> result;
    OverlapGeometry geometry;

    BigPair()
    {
        std::mt19937 random(24);
        left = noise(random);
        right = noise(random);
        const Size size{double(width), double(height)};
        geometry = OverlapGeometry::compute(size, {width / 2.0, height / 2.0}, size, {width / 2.0, height / 2.0}, 0, 0);
        result = Bitmap::createRGBCanvas(geometry.pixelsWide(), geometry.pixelsHigh());
        std::memset(result->bitmapData(), 0, result->totalBytes());
    }

    static constexpr int width = 6000;
    static constexpr int height = 4000;

    static std::unique_ptr<Bitmap> noise(std::mt19937& random)
    {
        Bitmap::Layout layout;
        layout.pixelsWide = width;
        layout.pixelsHigh = height;
        layout.samplesPerPixel = 3;
        auto bitmap = Bitmap::create(layout);
        for (std::size_t i = 0; i < bitmap->totalBytes(); ++i)
            bitmap->bitmapData()[i] = std::uint8_t(random());
        return bitmap;
    }
};


// Each iteration composes once and copies the result's bytes once, back to
// back, so both see the same machine load; the counter "xCopy" is the ratio
// of their medians. The iteration time is the composition's.
void composeAgainstCopy(benchmark::State& state, AnaglyphMethod method, int glasses, bool colorize)
{
    static BigPair pair;
    const AnaglyphComposer composer(glasses, colorize, method);
    const std::size_t bytes = pair.result->totalBytes();
    std::vector<std::uint8_t> copy(bytes);
    std::memset(copy.data(), 1, bytes);
    std::vector<double> composeTimes;
    std::vector<double> copyTimes;
    for (auto _ : state) {
        const double composed =
            secondsOf([&] { composer.compose(*pair.left, *pair.right, pair.geometry, *pair.result); });
        benchmark::ClobberMemory();
        const double copied = secondsOf([&] { std::memcpy(copy.data(), pair.left->bitmapData(), bytes); });
        benchmark::ClobberMemory();
        composeTimes.push_back(composed);
        copyTimes.push_back(copied);
        state.SetIterationTime(composed);
    }
    state.counters["copyMs"] = median(copyTimes) * 1e3;
    state.counters["xCopy"] = median(composeTimes) / median(copyTimes);
}

BENCHMARK_CAPTURE(composeAgainstCopy, classic_rc_colour, AnaglyphMethod::Classic, 2, true)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(composeAgainstCopy, dubois_rc, AnaglyphMethod::Dubois, 2, true)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(composeAgainstCopy, half_colour_rc, AnaglyphMethod::HalfColour, 2, true)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
