#include "gateway.hpp"

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "dispatch.hpp"

namespace kernels {

void checkArgumentCounts(const ModuleSignature& module, int nlhs, int nrhs) {
    const bool inputsWrong = nrhs != module.inputs;
    const bool outputsWrong = nlhs != module.outputs;
    if (inputsWrong) {
        mexPrintf("Matlab:%s:InvalidNumberInput,\n", module.sourceFile);
        mexPrintf("%d inputs required.\n", module.inputs);
    }
    if (outputsWrong) {
        mexPrintf("Matlab:%s:InvalidNumberOutput,\n", module.sourceFile);
    }
    if (inputsWrong) {
        failCall(module, "invalidNumberOfInputs", "%s requires %d inputs; %d were given.", module.name,
                 module.inputs, nrhs);
    }
    // A one-output module asked for no output still fills the first slot (ans).
    if (outputsWrong && !(nlhs == 0 && module.outputs == 1)) {
        failCall(module, "invalidNumberOfOutputs", "%s returns %d outputs; %d were requested.", module.name,
                 module.outputs, nlhs);
    }
}

void failCall(const ModuleSignature& module, const char* reason, const char* format, ...) {
    char identifier[128];
    std::snprintf(identifier, sizeof identifier, "%s:%s", module.name, reason);
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    mexErrMsgIdAndTxt(identifier, "%s", message);
    // mexErrMsgIdAndTxt does not come back; should a host ever return from it,
    // stopping here is still safer than running the kernel on bad input.
    std::abort();
}

std::ptrdiff_t elementCount(const mxArray* array) {
    return static_cast<std::ptrdiff_t>(mxGetNumberOfElements(array));
}

std::ptrdiff_t rows(const mxArray* array) {
    return static_cast<std::ptrdiff_t>(mxGetM(array));
}

std::ptrdiff_t columns(const mxArray* array) {
    return static_cast<std::ptrdiff_t>(mxGetN(array));
}

std::ptrdiff_t extent(const mxArray* array, int dimension) {
    const std::ptrdiff_t dims = static_cast<std::ptrdiff_t>(mxGetNumberOfDimensions(array));
    return dimension < dims ? static_cast<std::ptrdiff_t>(mxGetDimensions(array)[dimension]) : 1;
}

std::ptrdiff_t pageCount(const mxArray* array) {
    const std::ptrdiff_t dims = static_cast<std::ptrdiff_t>(mxGetNumberOfDimensions(array));
    std::ptrdiff_t pages = 1;
    for (std::ptrdiff_t d = 2; d < dims; ++d) {
        pages *= static_cast<std::ptrdiff_t>(mxGetDimensions(array)[d]);
    }
    return pages;
}

double readScalar(const Argument& arg) {
    if (mxIsSparse(arg.array) || !(mxIsNumeric(arg.array) || mxIsLogical(arg.array)) || mxIsComplex(arg.array) ||
        elementCount(arg.array) < 1) {
        failCall(arg.module, "invalidScalar",
                 "Input %d (%s) must be a real numeric scalar; got a %s%s array of %td elements.", arg.position,
                 arg.name, mxIsComplex(arg.array) ? "complex " : "", mxGetClassName(arg.array),
                 elementCount(arg.array));
    }
    return mxGetScalar(arg.array);
}

void requireExtents(const Argument& arg) {
    const std::ptrdiff_t dims = static_cast<std::ptrdiff_t>(mxGetNumberOfDimensions(arg.array));
    const mwSize* extents = mxGetDimensions(arg.array);
    std::ptrdiff_t product = 1;
    for (std::ptrdiff_t d = 0; d < dims; ++d) {
        // Hosts with signed extents hand a count of 2^63 or more over as negative.
        const std::uint64_t e = static_cast<std::uint64_t>(extents[d]);
        if (e > static_cast<std::uint64_t>(PTRDIFF_MAX)) {
            failCall(arg.module, "tooLarge",
                     "Input %d (%s) has extent %llu in dimension %td; extents must stay below 2^63.", arg.position,
                     arg.name, static_cast<unsigned long long>(e), d + 1);
        }
        if (e == 0) {
            continue;
        }
        if (product > PTRDIFF_MAX / static_cast<std::ptrdiff_t>(e)) {
            failCall(arg.module, "tooLarge",
                     "Input %d (%s) is too large: the product of its nonzero extents exceeds 2^63 - 1 at "
                     "dimension %td.",
                     arg.position, arg.name, d + 1);
        }
        product *= static_cast<std::ptrdiff_t>(e);
    }
}

std::ptrdiff_t countProduct(const Argument& arg, std::ptrdiff_t a, std::ptrdiff_t b, const char* what) {
    if (a < 0 || b < 0 || (a != 0 && b > PTRDIFF_MAX / a)) {
        failCall(arg.module, "tooLarge", "Input %d (%s) is too large: %s = %td*%td does not fit in 64 bits.",
                 arg.position, arg.name, what, a, b);
    }
    return a * b;
}

void requireDoubleArray(const Argument& arg) {
    if (!mxIsDouble(arg.array) || mxIsSparse(arg.array) || mxIsComplex(arg.array)) {
        failCall(arg.module, "notDouble", "Input %d (%s) must be a full real double array; got %s%s%s.", arg.position,
                 arg.name, mxIsSparse(arg.array) ? "sparse " : "", mxIsComplex(arg.array) ? "complex " : "",
                 mxGetClassName(arg.array));
    }
    requireExtents(arg);
}

void requireElements(const Argument& arg, std::ptrdiff_t needed, const char* what) {
    if (mxIsSparse(arg.array)) {
        failCall(arg.module, "notDouble", "Input %d (%s) must be a full array; got sparse %s.", arg.position, arg.name,
                 mxGetClassName(arg.array));
    }
    requireExtents(arg);
    if (elementCount(arg.array) < needed) {
        failCall(arg.module, "tooFewElements", "Input %d (%s) holds %td elements; %s = %td are needed.", arg.position,
                 arg.name, elementCount(arg.array), what, needed);
    }
}

void requireDoubles(const Argument& arg, std::ptrdiff_t needed, const char* what) {
    requireDoubleArray(arg);
    requireElements(arg, needed, what);
}

std::ptrdiff_t requireBytes(const Argument& arg, std::ptrdiff_t needed, const char* what) {
    // Checked before anything else is asked of the array: a host may have no
    // element size or data for a cell, struct or function handle.
    if (!(mxIsNumeric(arg.array) || mxIsLogical(arg.array) || mxIsChar(arg.array))) {
        failCall(arg.module, "notNumeric", "Input %d (%s) must be a numeric, logical or char array; got %s.",
                 arg.position, arg.name, mxGetClassName(arg.array));
    }
    if (mxIsSparse(arg.array)) {
        failCall(arg.module, "tooFewBytes", "Input %d (%s) must be a full int8 array; got sparse %s.", arg.position,
                 arg.name, mxGetClassName(arg.array));
    }
    requireExtents(arg);
    const std::ptrdiff_t bytes = countProduct(arg, elementCount(arg.array),
                                              static_cast<std::ptrdiff_t>(mxGetElementSize(arg.array)),
                                              "elements*bytes per element");
    if (bytes < needed) {
        failCall(arg.module, "tooFewBytes", "Input %d (%s) holds %td bytes; %s = %td are needed.", arg.position,
                 arg.name, bytes, what, needed);
    }
    return bytes;
}

void requirePages(const Argument& arg, std::ptrdiff_t needed, const char* what) {
    requireDoubleArray(arg);
    if (pageCount(arg.array) < needed) {
        failCall(arg.module, "tooFewPages", "Input %d (%s) has %td pages; at least %td are needed (%s).",
                 arg.position, arg.name, pageCount(arg.array), needed, what);
    }
}

void requireFieldPages(const Argument& arg, std::ptrdiff_t needed, const char* what) {
    requireDoubleArray(arg);
    if (extent(arg.array, 0) * extent(arg.array, 1) > 0) {
        requirePages(arg, needed, what);
    }
}

void requireSparse(const Argument& arg) {
    if (!mxIsSparse(arg.array)) {
        failCall(arg.module, "notSparse", "Input %d (%s) must be a sparse matrix; got full %s.", arg.position,
                 arg.name, mxGetClassName(arg.array));
    }
    requireExtents(arg);
}

namespace {

// 1 when an index is bad: not 1 <= v < limit, which NaN never is; written as
// integer flags so that contiguous indices are scanned in vectors.
inline std::int64_t badIndex(double v, double limit) {
    const std::int64_t low = v >= 1.0 ? 0 : 1;
    const std::int64_t high = v < limit ? 0 : 1;
    return low | high;
}

// Whether every index values[j*stride], j = 0 .. count-1, is good. The
// contiguous case has its own loop, which the wide builds vectorise.
KERNELS_WIDE_CLONES bool allIndicesGood(const double* values, std::ptrdiff_t count, std::ptrdiff_t stride,
                                        double limit) {
    std::int64_t bad = 0;
    if (stride == 1) {
        for (std::ptrdiff_t j = 0; j < count; ++j) {
            bad |= badIndex(values[j], limit);
        }
    } else {
        for (std::ptrdiff_t j = 0; j < count; ++j) {
            bad |= badIndex(values[j * stride], limit);
        }
    }
    return bad == 0;
}

}  // namespace

void requireIndices(const Argument& arg, std::ptrdiff_t count, std::ptrdiff_t stride, std::ptrdiff_t offset,
                    std::ptrdiff_t upper, const char* upperName) {
    const double* values = mxGetPr(arg.array) + offset;
    const double limit = static_cast<double>(upper) + 1.0;
    if (allIndicesGood(values, count, stride, limit)) {
        return;
    }
    for (std::ptrdiff_t j = 0; j < count; ++j) {
        const double v = values[j * stride];
        if (!(v >= 1.0 && v < limit)) {
            failCall(arg.module, "indexOutOfRange",
                     "Input %d (%s) entry %td holds %.17g, which does not name an index in 1..%s = %td.",
                     arg.position, arg.name, offset + j * stride + 1, v, upperName, upper);
        }
    }
}

}  // namespace kernels

#if !defined(MATLAB_MEX_FILE)
// Declares the 64-bit-size interface to the host at load time. MATLAB's own
// build tool adds this export itself, so it is defined only for other hosts.
extern "C" KERNELS_EXPORT void mexfilerequiredapiversion(unsigned int* builtByRelease,
                                                         unsigned int* targetApiVersion) {
    *builtByRelease = 131595;      // 0x2020B
    *targetApiVersion = 0x7300000;
}
#endif
