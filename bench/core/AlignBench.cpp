// Automatic alignment of a 24 MP pair (detection, matching, fitting) and the
// resampling of the corrected right picture, each also as a multiple of a
// plain decode of the same pair measured in the same run (counter
// "per_decode"). Goals on two cores: alignment 0.5 s, resampling 0.15 s.
#include "core/align/PairAlignment.h"
#include "core/align/RightPictureResampler.h"
#include "core/imageview/PicturePairLoader.h"
#include "core/imageview/PictureStore.h"

#include "../SamplePair.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

using namespace korvex;

namespace {

struct DecodedPair {
    PictureStore left, right;
    double decodeSeconds = 1e9;  // the fastest of a few plain decodes

    DecodedPair()
    {
        const bench::SamplePair& f = bench::SamplePair::of(24);
        left.setType(LeftRole);
        right.setType(RightRole);
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            PicturePairLoader::load(left, f.left, right, f.right);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            decodeSeconds = std::min(decodeSeconds, took.count());
        }
    }

    static DecodedPair& get()
    {
        static DecodedPair pair;
        return pair;
    }
};

void reportAgainstDecode(benchmark::State& state, double seconds)
{
    const DecodedPair& pair = DecodedPair::get();
    state.counters["decode_ms"] = pair.decodeSeconds * 1e3;
    state.counters["per_decode"] = seconds / double(state.iterations()) / pair.decodeSeconds;
}

void decodePair(benchmark::State& state)
{
    const bench::SamplePair& f = bench::SamplePair::of(24);
    double seconds = 0;
    for (auto _ : state) {
        PictureStore left, right;
        left.setType(LeftRole);
        right.setType(RightRole);
        const auto start = std::chrono::steady_clock::now();
        PicturePairLoader::load(left, f.left, right, f.right);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(right.image());
    }
    reportAgainstDecode(state, seconds);
}
BENCHMARK(decodePair)->UseRealTime()->Unit(benchmark::kMillisecond);

void alignPair(benchmark::State& state)
{
    DecodedPair& pair = DecodedPair::get();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const PairAlignment found = PairAlignment::find(*pair.left.image(), *pair.right.image());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!found.aligned)
            state.SkipWithError(found.failure.c_str());
    }
    reportAgainstDecode(state, seconds);
}
BENCHMARK(alignPair)->UseRealTime()->Unit(benchmark::kMillisecond);

void resampleRight(benchmark::State& state)
{
    DecodedPair& pair = DecodedPair::get();
    const RightCorrection correction{-1.42, 1.003, 0.3, -0.2};
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto corrected = resampleRightPicture(*pair.right.image(), correction);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(corrected.get());
    }
    reportAgainstDecode(state, seconds);
}
BENCHMARK(resampleRight)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
