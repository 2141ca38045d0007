// point_to_cell_info: the compressed-column structure of the point-to-cell
// sparse matrix (cells x points), handed back as two double vectors.
//
//   [columnStarts, rowIndices] = point_to_cell_info(columnCount, pointCellMatrix)
//
//   columnCount:     scalar P, truncated toward zero, 0 <= P <= points
//   pointCellMatrix: sparse, cells x points; its values are not read
//   columnStarts:    (P + 1) x 1, 0-based offsets of points 0..P into rowIndices
//   rowIndices:      nnz x 1, 0-based cells of the first P points (nnz = columnStarts(P + 1))
//
// The cells of point p are rowIndices(columnStarts(p) + 1 : columnStarts(p + 1))
// in MATLAB terms; both outputs stay 0-based.
#include <cstdint>

#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("point_to_cell_info");

// An index of the host's sparse structure as a double. The host's index type
// is unsigned 64-bit (MATLAB, stand-alone host) or signed 64-bit (Octave); the
// values lie below 2^31, so passing through int64 is exact for both and keeps
// the conversion a single instruction.
template <typename Index>
inline double indexAsDouble(Index value) {
    return static_cast<double>(static_cast<std::int64_t>(value));
}

// Copies count indices to doubles.
template <typename Index>
void copyIndices(std::ptrdiff_t count, const Index* __restrict indices, double* __restrict values) {
    // Column starts or row indices, unchanged, as doubles.
    for (std::ptrdiff_t j = 0; j < count; ++j) {
        values[j] = indexAsDouble(indices[j]);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const double count = readScalar(argument(kModule, prhs, 0, "columnCount"));
    const Argument matrixArg = argument(kModule, prhs, 1, "pointCellMatrix");
    requireSparse(matrixArg);
    const std::ptrdiff_t points = columns(prhs[1]);
    // Truncated toward zero, the count must lie in 0..points and fit 32 bits
    // (NaN and Inf fail).
    if (!(count > -1.0 && count < static_cast<double>(points) + 1.0 && count < 2147483648.0)) {
        failCall(kModule, "columnCountOutOfRange",
                 "Input 0 (columnCount) holds %.17g; truncated, it must lie in 0..%td, the columns of "
                 "pointCellMatrix.",
                 count, points);
    }
    const std::ptrdiff_t P = static_cast<std::int32_t>(count);
    const mwIndex* jc = mxGetJc(prhs[1]);
    const mwIndex* ir = mxGetIr(prhs[1]);
    const std::ptrdiff_t nnz = static_cast<std::ptrdiff_t>(jc[P]);

    // 3. Outputs: columnStarts first, then rowIndices.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(P + 1), 1, mxREAL);
    plhs[1] = mxCreateDoubleMatrix(static_cast<mwSize>(nnz), 1, mxREAL);

    // 4. The structure, as doubles.
    copyIndices(P + 1, jc, mxGetPr(plhs[0]));
    copyIndices(nnz, ir, mxGetPr(plhs[1]));
}
