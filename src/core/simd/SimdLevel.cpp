#include "core/simd/SimdLevel.h"

#include <algorithm>
#include <atomic>

namespace korvex {

namespace {

// A plain check rather than target_clones, whose resolver runs before a
// sanitizer's runtime.
SimdLevel detectedSimdLevel()
{
#if defined(__x86_64__) || defined(__i386__)
    static const SimdLevel level = [] {
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")
            && __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vnni"))
            return SimdLevel::Avx512;
        return __builtin_cpu_supports("avx2") ? SimdLevel::Avx2 : SimdLevel::Portable;
    }();
    return level;
#else
    return SimdLevel::Portable;
#endif
}

std::atomic<SimdLevel> ceiling{SimdLevel::Avx512};

}  // namespace

SimdLevel simdLevel()
{
    return std::min(detectedSimdLevel(), ceiling.load(std::memory_order_relaxed));
}

std::vector<SimdLevel> supportedSimdLevels()
{
    std::vector<SimdLevel> levels;
    for (const SimdLevel level : {SimdLevel::Portable, SimdLevel::Avx2, SimdLevel::Avx512}) {
        if (level <= detectedSimdLevel())
            levels.push_back(level);
    }
    return levels;
}

SimdCeiling::SimdCeiling(SimdLevel level) : previous_(ceiling.exchange(level)) {}

SimdCeiling::~SimdCeiling()
{
    ceiling.store(previous_);
}

}  // namespace korvex
