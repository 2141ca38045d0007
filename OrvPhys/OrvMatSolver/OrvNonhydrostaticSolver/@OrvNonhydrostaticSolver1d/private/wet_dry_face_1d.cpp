// wet_dry_face_1d: the per-face wet/dry marker of the 1d solver, 1.0 for a face
// with an element that is not Wet (Dry and PressureFree included), 0.0 for a
// face between two wet elements.
//
//   faceMarker = wet_dry_face_1d(cellStatus, faceToElement)
//
//   cellStatus:    int8, K entries, CellStatus of each element
//   faceToElement: 2 x Nface, 1-based numbers of the two elements of each face;
//                  its columns give Nface
//   faceMarker:    1 x Nface
#include "kernel_frame.hpp"
#include "wet_faces.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("wet_dry_face_1d");

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const std::ptrdiff_t Nface = columns(prhs[1]);
    const FaceElements faces =
        bindFaceElements(argument(kModule, prhs, 0, "cellStatus"), argument(kModule, prhs, 1, "faceToElement"), Nface);

    // 3. Output: 1 x Nface, zero-filled.
    plhs[0] = mxCreateDoubleMatrix(1, static_cast<mwSize>(Nface), mxREAL);

    // 4. Faces that touch a non-wet element.
    markNonWetFaces(faces.cellStatus, faces.faceToElement, Nface, mxGetPr(plhs[0]));
}
