#pragma once

#include <vector>

namespace korvex {

// The widest instructions the byte path's kernels may use, chosen at run
// time: the package runs on any x86-64. Avx512 means F, BW, VL, VBMI and
// VNNI together, which is what the AVX-512 kernels ask for.
enum class SimdLevel { Portable, Avx2, Avx512 };

// What this processor offers, lowered while a SimdCeiling is held.
SimdLevel simdLevel();

// Every level up to what this processor offers, so that tests can run each.
std::vector<SimdLevel> supportedSimdLevels();

// While it lives, the kernels use nothing above its level: the narrower
// paths stay testable on a machine that has the wider ones.
class SimdCeiling {
public:
    explicit SimdCeiling(SimdLevel ceiling);
    ~SimdCeiling();
    SimdCeiling(const SimdCeiling&) = delete;
    SimdCeiling& operator=(const SimdCeiling&) = delete;

private:
    SimdLevel previous_;
};

}  // namespace korvex
