// One dgemm call: scripts/mingw_check.sh compiles it as each platform's build
// does and checks the symbol it references.
#include "blas64.hpp"

void multiplyOnce(const double* a, const double* b, double* c) {
    const kernels::BlasInt one = 1;
    const double alpha = 1.0, beta = 0.0;
    dgemm_("N", "N", &one, &one, &one, &alpha, a, &one, b, &one, &beta, c, &one);
}
