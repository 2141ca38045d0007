// bench_floor: the host's own cost of a module call, for the Octave benchmark.
//
//   [out1, out2, ...] = bench_floor(outputSizes, inputs...)
//   [out1, out2, ...] = bench_floor('read', outputSizes, inputs...)
//
//   outputSizes: cell array, one extent vector per output
//   inputs:      the module's inputs, handed over and their data looked up
//                but not read
//   out1 ...:    zero-filled double arrays of the given extents
//
// It does what every module call does apart from the module's own work: the
// host passes the inputs, the call takes their data pointers, creates its
// outputs zero-filled and returns them, and the host takes them over (Debian's
// Octave 7 copies each one). With 'read' first it also reads every byte of
// every input once, the least any module that looks at all its inputs does.
// Not a module: built only by bench/octave_bench.m.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mex.h"

// Bytes 0 .. bytes-1 of data folded into one word, eight bytes at a time.
static std::uint64_t foldBytes(const void* data, std::size_t bytes) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i + 8 <= bytes; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        sum += word;
    }
    return sum;
}

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    const bool read = nrhs > 0 && mxIsChar(prhs[0]);
    if (read) {
        // Every input's data once: the values, and a sparse array's row
        // indices and column starts too.
        std::uint64_t sum = 0;
        for (int a = 2; a < nrhs; ++a) {
            const mxArray* in = prhs[a];
            if (mxIsSparse(in)) {
                const std::size_t nz = mxGetNzmax(in);
                sum += foldBytes(mxGetData(in), nz * mxGetElementSize(in));
                sum += foldBytes(mxGetIr(in), nz * sizeof(mwIndex));
                sum += foldBytes(mxGetJc(in), (mxGetN(in) + 1) * sizeof(mwIndex));
            } else if (mxIsNumeric(in) || mxIsLogical(in) || mxIsChar(in)) {
                sum += foldBytes(mxGetData(in), mxGetNumberOfElements(in) * mxGetElementSize(in));
            }
        }
        static volatile std::uint64_t sink;
        sink = sum;
        ++prhs;
        --nrhs;
    }
    if (nrhs < 1 || !mxIsCell(prhs[0])) {
        mexErrMsgIdAndTxt("bench_floor:invalidSizes", "input 1 must be a cell array of output extents");
    }
    const mxArray* sizes = prhs[0];
    if (static_cast<std::size_t>(nlhs) > mxGetNumberOfElements(sizes)) {
        mexErrMsgIdAndTxt("bench_floor:invalidSizes", "%d outputs requested, %d extents given", nlhs,
                          static_cast<int>(mxGetNumberOfElements(sizes)));
    }
    // The inputs' data, as a module binds it.
    const void* volatile data = nullptr;
    for (int a = 1; a < nrhs; ++a) {
        data = mxGetData(prhs[a]);
    }
    (void)data;
    // Zero-filled outputs (at least the first slot, which a call always fills).
    for (int o = 0; o < (nlhs > 0 ? nlhs : 1) && o < static_cast<int>(mxGetNumberOfElements(sizes)); ++o) {
        const mxArray* extents = mxGetCell(sizes, o);
        if (extents == nullptr || !mxIsDouble(extents)) {
            mexErrMsgIdAndTxt("bench_floor:invalidSizes", "extents of output %d must be a double vector", o + 1);
        }
        const double* e = mxGetPr(extents);
        std::vector<mwSize> dims(mxGetNumberOfElements(extents));
        for (std::size_t d = 0; d < dims.size(); ++d) {
            dims[d] = static_cast<mwSize>(e[d]);
        }
        plhs[o] = mxCreateNumericArray(dims.size(), dims.data(), mxDOUBLE_CLASS, mxREAL);
    }
}
