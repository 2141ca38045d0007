// boundary_type: the mask of boundary-face nodes whose face has a realised
// boundary type, with a notice for every face whose type is not realised.
//
//   realisedMask = boundary_type(boundaryTypes, faceNodeTemplate)
//
//   boundaryTypes:    int8, at least Nbe entries, BoundaryType of each boundary face
//   faceNodeTemplate: Nfp x Nbe, only its extents are used
//   realisedMask:     Nfp x Nbe, 1.0 on every node of a face with code 2..7, else 0.0
//
// Every other code (0, 1, 8..13, negative or above 13) prints
// "Unknown or Unrealized boundary type" once, in face order, even when Nfp = 0.
#include "boundary_type_codes.hpp"
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("boundary_type");

// Sets the Nfp nodes of one face column to 1.0.
inline void maskFaceNodes(std::ptrdiff_t Nfp, double* __restrict column) {
    for (std::ptrdiff_t n = 0; n < Nfp; ++n) {
        column[n] = 1.0;
    }
}

void boundaryType(const std::int8_t* boundaryTypes, std::ptrdiff_t Nfp, std::ptrdiff_t Nbe, double* realisedMask) {
    // Boundary faces in order: realised ones are masked, the others announced.
    for (std::ptrdiff_t i = 0; i < Nbe; ++i) {
        if (isRealizedBoundary(boundaryTypes[i])) {
            maskFaceNodes(Nfp, realisedMask + i * Nfp);
        } else {
            mexPrintf("Unknown or Unrealized boundary type\n");
        }
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    requireExtents(argument(kModule, prhs, 1, "faceNodeTemplate"));
    const std::ptrdiff_t Nfp = rows(prhs[1]);
    const std::ptrdiff_t Nbe = columns(prhs[1]);
    requireBytes(argument(kModule, prhs, 0, "boundaryTypes"), Nbe, "Nbe");
    const std::int8_t* boundaryTypes = boundaryTypeCodes(prhs[0]);

    // 3. Outputs: Nfp x Nbe, zero-filled.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(Nfp), static_cast<mwSize>(Nbe), mxREAL);

    // 4. Mask and notices.
    boundaryType(boundaryTypes, Nfp, Nbe, mxGetPr(plhs[0]));
}
