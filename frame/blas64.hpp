// The general matrix product of a BLAS built with 64-bit integers: under MATLAB
// its own libmwblas, elsewhere the 64-bit-integer OpenBLAS linked statically
// with its symbols kept local, so that a 32-bit-integer BLAS already loaded in
// the host process cannot take the call.
#pragma once

#include <cstdint>

namespace kernels {
using BlasInt = std::int64_t;
}

// The symbol of dgemm: MATLAB's libmwblas on Windows (with MSVC and with
// MinGW-w64) exports the Fortran names without the trailing underscore; every
// other BLAS, and libmwblas on Linux and macOS, with it. mex defines
// MATLAB_MEX_FILE.
#if defined(_WIN32) && defined(MATLAB_MEX_FILE)
#define dgemm_ dgemm
#endif

extern "C" void dgemm_(const char* transa, const char* transb, const kernels::BlasInt* m, const kernels::BlasInt* n,
                       const kernels::BlasInt* k, const double* alpha, const double* a, const kernels::BlasInt* lda,
                       const double* b, const kernels::BlasInt* ldb, const double* beta, double* c,
                       const kernels::BlasInt* ldc);
