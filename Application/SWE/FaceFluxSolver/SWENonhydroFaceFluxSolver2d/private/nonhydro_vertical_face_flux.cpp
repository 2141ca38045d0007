// nonhydro_vertical_face_flux: the normal flux of the vertical momentum hw,
// E*nx + G*ny with E = hu*hw/h and G = hv*hw/h, at the nodes of one side of
// every face between two wet elements.
//
//   normalFlux = nonhydro_vertical_face_flux(cellStatus, faceToElement, ignoredScalar,
//                    depth, dischargeX, dischargeY, verticalMomentum, normalX, normalY)
//
//   cellStatus:    int8, K entries, CellStatus of each element
//   faceToElement: 2 x Nface, 1-based numbers of the two elements of each face
//   ignoredScalar: a numeric scalar, read and dropped
//   depth ... normalY: Nfp x Nface each, h, hu, hv, hw and the normal; depth
//                  gives Nfp and Nface
//   normalFlux:    Nfp x Nface
//
// Faces with an element that is not Wet (Dry and PressureFree included) keep 0.
// No depth threshold: the depth at a node of an evaluated face is the divisor.
#include "kernel_frame.hpp"
#include "wet_faces.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("nonhydro_vertical_face_flux");

// Normal flux of hw at nodes first .. last-1 of faces between two wet elements.
inline void verticalFluxOfNodes(std::ptrdiff_t first, std::ptrdiff_t last, const double* __restrict h,
                                const double* __restrict hu, const double* __restrict hv,
                                const double* __restrict hw, const double* __restrict nx,
                                const double* __restrict ny, double* __restrict flux) {
    for (std::ptrdiff_t i = first; i < last; ++i) {
        flux[i] = ((hu[i] * hw[i]) / h[i]) * nx[i] + ((hv[i] * hw[i]) / h[i]) * ny[i];
    }
}

// Marks the faces that touch a non-wet element, then evaluates the nodes of
// the others; in[] holds the six per-node inputs in call order.
void verticalFaceFlux(const FaceElements& faces, std::ptrdiff_t Nfp, std::ptrdiff_t Nface, const double* const in[6],
                      double* faceMarker, double* normalFlux) {
    markNonWetFaces(faces.cellStatus, faces.faceToElement, Nface, faceMarker);
    // Runs of faces between two wet elements; the other faces keep 0.
    for (FaceRun run = nextWetFaceRun(faceMarker, Nface, 0); run.first < Nface;
         run = nextWetFaceRun(faceMarker, Nface, run.last)) {
        verticalFluxOfNodes(run.first * Nfp, run.last * Nfp, in[0], in[1], in[2], in[3], in[4], in[5], normalFlux);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs. The scalar is read as the caller hands it over; its value plays
    // no part in the flux.
    static const char* const kNodeInputs[6] = {"depth",           "dischargeX", "dischargeY",
                                               "verticalMomentum", "normalX",    "normalY"};
    requireDoubleArray(argument(kModule, prhs, 3, kNodeInputs[0]));
    const std::ptrdiff_t Nfp = rows(prhs[3]);
    const std::ptrdiff_t Nface = columns(prhs[3]);
    const FaceElements faces =
        bindFaceElements(argument(kModule, prhs, 0, "cellStatus"), argument(kModule, prhs, 1, "faceToElement"), Nface);
    static_cast<void>(readScalar(argument(kModule, prhs, 2, "ignoredScalar")));
    const double* in[6];
    bindNodeInputs(kModule, prhs, 3, 6, kNodeInputs, Nfp, Nface, in);

    // 3. Outputs: Nfp x Nface, zero-filled; then the face marker, host scratch
    // that is never returned.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(Nfp), static_cast<mwSize>(Nface), mxREAL);
    double* faceMarker = mxGetPr(mxCreateDoubleMatrix(1, static_cast<mwSize>(Nface), mxREAL));

    // 4. Normal flux of the vertical momentum.
    verticalFaceFlux(faces, Nfp, Nface, in, faceMarker, mxGetPr(plhs[0]));
}
