// The general matrix product of a BLAS built with 64-bit integers: under MATLAB
// its own libmwblas, elsewhere the 64-bit-integer OpenBLAS linked statically
// with its symbols kept local, so that a 32-bit-integer BLAS already loaded in
// the host process cannot take the call.
#pragma once

#include <cstdint>

namespace kernels {
using BlasInt = std::int64_t;
}

extern "C" void dgemm_(const char* transa, const char* transb, const kernels::BlasInt* m, const kernels::BlasInt* n,
                       const kernels::BlasInt* k, const double* alpha, const double* a, const kernels::BlasInt* lda,
                       const double* b, const kernels::BlasInt* ldb, const double* beta, double* c,
                       const kernels::BlasInt* ldc);
