// penalty_parameter: the interior penalty parameter of the non-hydrostatic
// system, the largest over the elements of the edge-to-element size ratios
// summed over each element's edges and scaled by a polynomial factor.
//
//   penalty = penalty_parameter(elementSize, faceToElement, innerEdgeSize,
//                               boundaryFaceToElement, boundaryEdgeSize,
//                               cellShapeCode, polynomialOrder)
//
//   elementSize:           K entries (its element count sets K)
//   faceToElement:         2 x Nie, 1-based elements on both sides of each inner edge
//   innerEdgeSize:         Nie entries (its element count sets Nie)
//   boundaryFaceToElement: 2 x Nbe, row 1: 1-based element of each boundary edge
//   boundaryEdgeSize:      Nbe entries (its element count sets Nbe)
//   cellShapeCode:         int8, first byte s: 1, 2 or 3 selects the factor
//   polynomialOrder:       scalar N
//   penalty:               scalar, never below 0.0
//
// Inner edges give half their size to each side, boundary edges their whole
// size; the factor is (N + 1)(N + s)/s for s = 1, 2, 3, and 1 otherwise.
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("penalty_parameter");

// The per-element sums, accumulated into acc (zero-filled, K entries) edge by
// edge in order. The two sides of an inner edge are updated one after the
// other, so an edge whose sides name one element adds its half twice.
void accumulateEdgeRatios(const double* elementSize, const double* faceToElement, const double* innerEdgeSize,
                          std::ptrdiff_t Nie, const double* boundaryFaceToElement, const double* boundaryEdgeSize,
                          std::ptrdiff_t Nbe, double* acc) {
    // Inner edges: half the edge size over each side's element size.
    for (std::ptrdiff_t i = 0; i < Nie; ++i) {
        const std::ptrdiff_t a = toZeroBasedIndex(faceToElement[2 * i]);
        const std::ptrdiff_t b = toZeroBasedIndex(faceToElement[2 * i + 1]);
        const double h = innerEdgeSize[i] * 0.5;
        acc[a] = h / elementSize[a] + acc[a];
        acc[b] = h / elementSize[b] + acc[b];
    }
    // Boundary edges: the whole edge size over the owning element's size.
    for (std::ptrdiff_t i = 0; i < Nbe; ++i) {
        const std::ptrdiff_t a = toZeroBasedIndex(boundaryFaceToElement[2 * i]);
        acc[a] = boundaryEdgeSize[i] / elementSize[a] + acc[a];
    }
}

// The polynomial factor of order N for cell-shape code s (1, 2 or 3), each
// evaluated in its own fixed order.
double polynomialFactor(double N, int s) {
    if (s == 1) {
        const double a = 1.0 + N;
        return a * a;
    }
    if (s == 2) {
        return ((1.0 + N) * 0.5) * (2.0 + N);
    }
    return ((1.0 + N) * (3.0 + N)) / 3.0;
}

// The largest scaled element sum acc[k] * factor, from 0.0, replaced only by a
// strictly larger value: NaN never wins and -0.0 never replaces +0.0. Four
// interleaved partial maxima break the dependency chain of the compare and
// select; each follows the same rule from +0.0, so combining them gives the
// value of one pass in element order.
double largestScaledSum(std::ptrdiff_t K, double factor, const double* __restrict acc) {
    double m0 = 0.0, m1 = 0.0, m2 = 0.0, m3 = 0.0;
    std::ptrdiff_t k = 0;
    // Elements in blocks of four, one partial maximum per position.
    for (; k + 4 <= K; k += 4) {
        const double v0 = acc[k] * factor, v1 = acc[k + 1] * factor;
        const double v2 = acc[k + 2] * factor, v3 = acc[k + 3] * factor;
        m0 = v0 > m0 ? v0 : m0;
        m1 = v1 > m1 ? v1 : m1;
        m2 = v2 > m2 ? v2 : m2;
        m3 = v3 > m3 ? v3 : m3;
    }
    // The last K mod 4 elements.
    for (; k < K; ++k) {
        const double v = acc[k] * factor;
        m0 = v > m0 ? v : m0;
    }
    m0 = m1 > m0 ? m1 : m0;
    m0 = m2 > m0 ? m2 : m0;
    return m3 > m0 ? m3 : m0;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const Argument elementSizeArg = argument(kModule, prhs, 0, "elementSize");
    const Argument faceArg = argument(kModule, prhs, 1, "faceToElement");
    const Argument innerSizeArg = argument(kModule, prhs, 2, "innerEdgeSize");
    const Argument boundaryFaceArg = argument(kModule, prhs, 3, "boundaryFaceToElement");
    const Argument boundarySizeArg = argument(kModule, prhs, 4, "boundaryEdgeSize");
    requireDoubleArray(elementSizeArg);
    requireDoubleArray(innerSizeArg);
    requireDoubleArray(boundarySizeArg);
    const std::ptrdiff_t K = elementCount(prhs[0]);
    const std::ptrdiff_t Nie = elementCount(prhs[2]);
    const std::ptrdiff_t Nbe = elementCount(prhs[4]);
    const std::ptrdiff_t innerEntries = countProduct(innerSizeArg, 2, Nie, "2*Nie");
    requireDoubles(faceArg, innerEntries, "2*Nie");
    requireDoubles(boundaryFaceArg, countProduct(boundarySizeArg, 2, Nbe, "2*Nbe"), "2*Nbe");
    requireIndices(faceArg, innerEntries, 1, 0, K, "K");
    requireIndices(boundaryFaceArg, Nbe, 2, 0, K, "K");
    requireBytes(argument(kModule, prhs, 5, "cellShapeCode"), 1, "one code");
    const int cellShape = static_cast<const std::int8_t*>(mxGetData(prhs[5]))[0];
    const double N = readScalar(argument(kModule, prhs, 6, "polynomialOrder"));

    // 3. Output: a scalar, created from the finished value at the end of step 4.

    // 4. Per-element sums in host scratch (1 x K, zero-filled, reclaimed by the
    // host), scaled, and their maximum.
    double* acc = mxGetPr(mxCreateDoubleMatrix(1, static_cast<mwSize>(K), mxREAL));
    accumulateEdgeRatios(mxGetPr(prhs[0]), mxGetPr(prhs[1]), mxGetPr(prhs[2]), Nie, mxGetPr(prhs[3]),
                         mxGetPr(prhs[4]), Nbe, acc);
    // Other shape codes leave the sums unscaled: x * 1.0 is x, bit for bit.
    const bool scaled = cellShape == 1 || cellShape == 2 || cellShape == 3;
    const double factor = scaled ? polynomialFactor(N, cellShape) : 1.0;
    plhs[0] = mxCreateDoubleScalar(largestScaledSum(K, factor, acc));
}
