// Runtime choice between a baseline and an AVX2 build of a work function.
//
// KERNELS_AVX2_CLONES before a work function has the compiler build it twice,
// for baseline x86-64 (SSE2) and for AVX2, and pick one when the module is
// loaded, from the processor it runs on. The AVX2 build only widens the node
// loops from two lanes to four: AVX2 does not bring fused multiply-add (that
// is the separate "fma" target, which is never named here) and the builds use
// -ffp-contract=off, so both give the same results bit for bit.
//
// Functions the work function calls must be inlined into it (small inline
// functions and templates are) or carry the macro themselves; otherwise they
// stay baseline code.
//
// The choice at load time is a GNU indirect function, which needs ELF and the
// GNU C library. Everywhere else (MinGW-w64 and MSVC on Windows, macOS, other
// processors) and with KERNELS_BASELINE_ONLY defined the macro is empty and the
// module is the baseline build alone.
#pragma once

#include <cstddef>  // defines __GLIBC__ where the C library is glibc

#if !defined(KERNELS_BASELINE_ONLY) && defined(__GNUC__) && defined(__GLIBC__) && !defined(_WIN32) && \
    (defined(__x86_64__) || defined(__i386__))
#define KERNELS_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KERNELS_AVX2_CLONES
#endif
