#pragma once

// The x86 intrinsics, and the targets that the kernels SimdLevel chooses
// between at run time compile for.
#if defined(__x86_64__)
#if !defined(__clang__)
// GCC 12's AVX-512 intrinsics start from _mm512_undefined values, which its
// flow analysis then reports as possibly uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

// SimdLevel::Avx512 is F, BW, VL, VBMI and VNNI together.
#define KORVEX_TARGET_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vnni")))
#define KORVEX_TARGET_AVX2 __attribute__((target("avx2")))
// The small functions such kernels are made of, inlined into them.
#define KORVEX_AVX512_KERNEL KORVEX_TARGET_AVX512 __attribute__((always_inline)) inline
#define KORVEX_AVX2_KERNEL KORVEX_TARGET_AVX2 __attribute__((always_inline)) inline
#endif
