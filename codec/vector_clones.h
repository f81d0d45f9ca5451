// Pixel and coefficient loops are built three times, for AVX-512, for AVX2 and for the baseline;
// the loader picks the clone the processor runs. The loops are integer arithmetic, so every
// clone gives the same values.
#pragma once

#define QX_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))

// Bit-level coding loops, built for x86-64-v3 too: its BMI instructions shift by a variable count
// and count bits in one instruction each, where the baseline needs several.
#define QX_BIT_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))

// Loops written for AVX2 alone, with its intrinsics; callers check ProcessorRunsAvx2 first.
#define QX_AVX2 __attribute__((target("avx2")))

namespace qx {

inline bool ProcessorRunsAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

// Whether the processor runs the loops written for AVX-512 with its byte permutes (VBMI).
inline bool ProcessorRunsWide() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi");
}

}  // namespace qx
