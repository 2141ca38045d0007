// Runtime choice between a baseline, an AVX2 and an AVX-512 build of a work
// function.
//
// KERNELS_WIDE_CLONES before a work function has the compiler build it twice,
// for baseline x86-64 (SSE2, two lanes) and for AVX2 (four lanes), and pick
// one when the module is loaded, from the processor it runs on.
// KERNELS_WIDEST_CLONES adds an AVX-512 build (eight lanes): for loops bound by
// division and square roots, such as the time step. Loops bound by memory keep
// the first macro: there AVX-512 gains nothing and was measured slower.
//
// The wider builds only widen the node loops: the builds use -ffp-contract=off,
// so no multiply and add are fused whatever the target offers, and quotients,
// square roots and selects are exact at every width; all builds give the same
// results bit for bit.
//
// Functions the work function calls must be inlined into it (small inline
// functions and templates are) or carry the macro themselves; otherwise they
// stay baseline code.
//
// The choice at load time is a GNU indirect function, which needs ELF and the
// GNU C library. Everywhere else (MinGW-w64 and MSVC on Windows, macOS, other
// processors) and with KERNELS_BASELINE_ONLY defined the macros are empty and
// the module is the baseline build alone. KERNELS_NO_AVX512 leaves out the
// AVX-512 build, so that a test on an AVX-512 machine can reach the AVX2 one.
//
// KERNELS_WIDE_BUILDS is 1 where these wider builds exist, for code that picks
// its width itself from the processor's features (the edge assembly).
#pragma once

#include <cstddef>  // defines __GLIBC__ where the C library is glibc

#if !defined(KERNELS_BASELINE_ONLY) && defined(__GNUC__) && defined(__GLIBC__) && !defined(_WIN32) && \
    (defined(__x86_64__) || defined(__i386__))
#define KERNELS_WIDE_BUILDS 1
#define KERNELS_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#if defined(KERNELS_NO_AVX512)
#define KERNELS_WIDEST_CLONES KERNELS_WIDE_CLONES
#else
#define KERNELS_WIDEST_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#endif
#else
#define KERNELS_WIDE_BUILDS 0
#define KERNELS_WIDE_CLONES
#define KERNELS_WIDEST_CLONES
#endif
