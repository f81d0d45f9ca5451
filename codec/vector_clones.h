// Pixel and coefficient loops are built three times, for AVX-512, for AVX2 and for the baseline;
// the loader picks the clone the processor runs. The loops are integer arithmetic, so every
// clone gives the same values.
#pragma once

#define QX_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))

// Loops written for AVX2 alone, with its intrinsics; callers check that the processor runs them.
#define QX_AVX2 __attribute__((target("avx2")))
