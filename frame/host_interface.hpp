// The host array interface every module is written against.
//
// Built by MATLAB's mex or Octave's mkoctfile (build_mex.m defines
// KERNELS_USE_HOST_MEX_H), the host's own mex.h is used. Everywhere else the
// declarations below stand in for it: the standard MEX names, mapped onto the
// 64-bit-size ("_730") entry points of the large-array interface. The
// stand-alone host in host/ implements exactly these functions.
#pragma once

#include "portability.hpp"

#if defined(KERNELS_USE_HOST_MEX_H)

#include "mex.h"

#else

#include <cstddef>
#include <cstdint>

typedef std::size_t mwSize;
typedef std::size_t mwIndex;
typedef std::ptrdiff_t mwSignedIndex;

typedef struct mxArray_tag mxArray;

typedef enum {
    mxUNKNOWN_CLASS = 0,
    mxCELL_CLASS,
    mxSTRUCT_CLASS,
    mxLOGICAL_CLASS,
    mxCHAR_CLASS,
    mxVOID_CLASS,
    mxDOUBLE_CLASS,
    mxSINGLE_CLASS,
    mxINT8_CLASS,
    mxUINT8_CLASS,
    mxINT16_CLASS,
    mxUINT16_CLASS,
    mxINT32_CLASS,
    mxUINT32_CLASS,
    mxINT64_CLASS,
    mxUINT64_CLASS,
    mxFUNCTION_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

#if defined(KERNELS_BUILDING_HOST)
#define KERNELS_HOST_API KERNELS_EXPORT
#else
#define KERNELS_HOST_API
#endif

extern "C" {

// Module entry point, called by the host.
KERNELS_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// Data access.
KERNELS_HOST_API double* mxGetPr(const mxArray* array);
KERNELS_HOST_API void* mxGetData(const mxArray* array);
KERNELS_HOST_API double mxGetScalar(const mxArray* array);
KERNELS_HOST_API std::size_t mxGetM(const mxArray* array);
KERNELS_HOST_API std::size_t mxGetN(const mxArray* array);
KERNELS_HOST_API const mwSize* mxGetDimensions_730(const mxArray* array);
KERNELS_HOST_API mwSize mxGetNumberOfDimensions_730(const mxArray* array);
KERNELS_HOST_API std::size_t mxGetNumberOfElements(const mxArray* array);
KERNELS_HOST_API std::size_t mxGetElementSize(const mxArray* array);
KERNELS_HOST_API mwIndex* mxGetJc_730(const mxArray* array);
KERNELS_HOST_API mwIndex* mxGetIr_730(const mxArray* array);

// Class queries.
KERNELS_HOST_API mxClassID mxGetClassID(const mxArray* array);
KERNELS_HOST_API const char* mxGetClassName(const mxArray* array);
KERNELS_HOST_API bool mxIsDouble(const mxArray* array);
KERNELS_HOST_API bool mxIsInt8(const mxArray* array);
KERNELS_HOST_API bool mxIsSparse(const mxArray* array);
KERNELS_HOST_API bool mxIsNumeric(const mxArray* array);
KERNELS_HOST_API bool mxIsLogical(const mxArray* array);
KERNELS_HOST_API bool mxIsChar(const mxArray* array);
KERNELS_HOST_API bool mxIsComplex(const mxArray* array);

// Construction. Every new array is zero-filled.
KERNELS_HOST_API mxArray* mxCreateNumericArray_730(mwSize ndim, const mwSize* dims, mxClassID classId,
                                                   mxComplexity complexity);
KERNELS_HOST_API mxArray* mxCreateDoubleMatrix_730(mwSize m, mwSize n, mxComplexity complexity);
KERNELS_HOST_API mxArray* mxCreateDoubleScalar(double value);
KERNELS_HOST_API mxArray* mxCreateSparse_730(mwSize m, mwSize n, mwSize nzmax, mxComplexity complexity);
KERNELS_HOST_API void mxDestroyArray(mxArray* array);

// Memory that the host reclaims when the call ends (also when it ends in an error).
KERNELS_HOST_API void* mxMalloc(std::size_t bytes);
KERNELS_HOST_API void* mxCalloc(std::size_t count, std::size_t size);
KERNELS_HOST_API void mxFree(void* pointer);

// Console and errors.
KERNELS_HOST_API int mexPrintf(const char* format, ...) KERNELS_PRINTF_FORMAT(1, 2);
[[noreturn]] KERNELS_HOST_API void mexErrMsgIdAndTxt(const char* identifier, const char* format, ...)
    KERNELS_PRINTF_FORMAT(2, 3);

}  // extern "C"

// The standard names of the large-array interface.
#define mxGetDimensions mxGetDimensions_730
#define mxGetNumberOfDimensions mxGetNumberOfDimensions_730
#define mxGetJc mxGetJc_730
#define mxGetIr mxGetIr_730
#define mxCreateNumericArray mxCreateNumericArray_730
#define mxCreateDoubleMatrix mxCreateDoubleMatrix_730
#define mxCreateSparse mxCreateSparse_730

#endif
