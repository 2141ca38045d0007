// element_boundary_condition: the boundary condition markers of the elements'
// faces, spread from the boundary faces onto an element-by-face table.
//
//   elementFaceMarker = element_boundary_condition(elementFaceTemplate,
//                           boundaryFaceToFace, boundaryFaceToElement, boundaryTypes)
//
//   elementFaceTemplate:   Nface x K, only its extents are used
//   boundaryFaceToFace:    2 x Nbe, row 1: 1-based local face of each boundary face
//   boundaryFaceToElement: 2 x Nbe, row 1: 1-based element of each boundary face
//   boundaryTypes:         int8, Nbe entries (its element count sets Nbe)
//   elementFaceMarker:     Nface x K, 1.0 for codes 0..12, 2.0 for code 13
//
// Codes outside 0..13 leave their position at 0.0, inner faces stay 0.0, and
// where two boundary faces name one position the later face wins. The second
// rows of the index arrays are not read.
#include "boundary_type_codes.hpp"
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("element_boundary_condition");

void elementBoundaryCondition(const double* boundaryFaceToFace, const double* boundaryFaceToElement,
                              const std::int8_t* boundaryTypes, std::ptrdiff_t Nbe, std::ptrdiff_t Nface,
                              double* elementFaceMarker) {
    // Boundary faces in order: known codes mark their (local face, element) position.
    for (std::ptrdiff_t i = 0; i < Nbe; ++i) {
        const std::ptrdiff_t r = toZeroBasedIndex(boundaryFaceToFace[2 * i]);
        const std::ptrdiff_t e = toZeroBasedIndex(boundaryFaceToElement[2 * i]);
        const int t = boundaryTypes[i];
        if (isKnownBoundary(t)) {
            elementFaceMarker[e * Nface + r] = hasBoundaryType(t, BoundaryType::Special13) ? 2.0 : 1.0;
        }
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    requireExtents(argument(kModule, prhs, 0, "elementFaceTemplate"));
    const std::ptrdiff_t Nface = rows(prhs[0]);
    const std::ptrdiff_t K = columns(prhs[0]);
    const Argument typesArg = argument(kModule, prhs, 3, "boundaryTypes");
    requireBytes(typesArg, 0, "Nbe");
    const std::ptrdiff_t Nbe = elementCount(prhs[3]);
    const Argument faceArg = argument(kModule, prhs, 1, "boundaryFaceToFace");
    const Argument elementArg = argument(kModule, prhs, 2, "boundaryFaceToElement");
    const std::ptrdiff_t entries = countProduct(typesArg, 2, Nbe, "2*Nbe");
    requireDoubles(faceArg, entries, "2*Nbe");
    requireDoubles(elementArg, entries, "2*Nbe");
    requireIndices(faceArg, Nbe, 2, 0, Nface, "Nface");
    requireIndices(elementArg, Nbe, 2, 0, K, "K");

    // 3. Outputs: Nface x K, zero-filled.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(Nface), static_cast<mwSize>(K), mxREAL);

    // 4. Markers.
    elementBoundaryCondition(mxGetPr(prhs[1]), mxGetPr(prhs[2]), boundaryTypeCodes(prhs[3]), Nbe, Nface,
                             mxGetPr(plhs[0]));
}
