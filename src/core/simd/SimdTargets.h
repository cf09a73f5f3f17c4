#pragma once

// The x86 intrinsics, and the targets that the kernels SimdLevel chooses
// between at run time compile for.
#if defined(__x86_64__) || defined(__i386__)
#if !defined(__clang__)
// GCC 12's AVX-512 intrinsics start from _mm512_undefined values, which its
// flow analysis then reports as possibly uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

// SimdLevel::Avx512 is F, BW, VL, VBMI and VNNI together.
#define KORVEX_TARGET_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vnni")))
#define KORVEX_TARGET_AVX2 __attribute__((target("avx2")))
// Loops the compiler vectorises itself: GCC keeps to 256-bit vectors unless
// told to prefer 512; Clang knows no such option and would drop the whole
// attribute for it.
#if defined(__clang__)
#define KORVEX_TARGET_AVX512_LOOPS __attribute__((target("avx512f,avx512bw,avx512vl")))
#else
#define KORVEX_TARGET_AVX512_LOOPS __attribute__((target("avx512f,avx512bw,avx512vl,prefer-vector-width=512")))
#endif
// The small functions such kernels are made of, inlined into them.
#define KORVEX_AVX512_KERNEL KORVEX_TARGET_AVX512 __attribute__((always_inline)) inline
#define KORVEX_AVX2_KERNEL KORVEX_TARGET_AVX2 __attribute__((always_inline)) inline
#endif
