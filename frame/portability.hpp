// What differs between the compilers that build the modules: GCC and Clang on
// Linux and macOS, MinGW-w64 and Microsoft Visual C++ on Windows.
#pragma once

// The oldest compilers with the C++17 the frame is written in (inline
// variables, if constexpr, fold expressions, std::string_view). build_mex
// checks the compiler MATLAB has selected before it builds; these lines stop
// any other build with the same message.
#if defined(__clang__)
#if defined(__apple_build_version__) && __clang_major__ < 10
#error "The kernels need C++17: Xcode 10 (Apple clang 10) or newer."
#elif !defined(__apple_build_version__) && __clang_major__ < 5
#error "The kernels need C++17: Clang 5 or newer."
#endif
#elif defined(__MINGW32__) && defined(__GNUC__)
#if __GNUC__ < 8
#error "The kernels need C++17: MinGW-w64 GCC 8 or newer."
#endif
#elif defined(__GNUC__)
#if __GNUC__ < 7
#error "The kernels need C++17: GCC 7 or newer."
#endif
#elif defined(_MSC_VER)
#if _MSC_VER < 1914
#error "The kernels need C++17: Visual Studio 2017 15.7 (MSVC 19.14) or newer."
#endif
#endif

// A printf-style format argument, checked by GCC and Clang. MinGW-w64's C++
// library formats with its own C99 printf (%td, %zu), not with the Windows C
// runtime's, so its format checks follow GNU printf. MSVC has no such check.
#if defined(__MINGW32__)
#define KERNELS_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__)
#define KERNELS_PRINTF_FORMAT(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define KERNELS_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// A function a module or the stand-alone host exports from its shared library.
#if defined(_WIN32)
#define KERNELS_EXPORT __declspec(dllexport)
#else
#define KERNELS_EXPORT __attribute__((visibility("default")))
#endif

// No fused multiply-add: a contracted a*b + c rounds once instead of twice and
// changes results. GCC and Clang get -ffp-contract=off; MSVC contracts under
// /fp:precise unless told otherwise (and only emits FMA instructions with
// /arch:AVX2, which the build never passes).
#if defined(_MSC_VER) && !defined(__clang__)
#pragma fp_contract(off)
#endif
