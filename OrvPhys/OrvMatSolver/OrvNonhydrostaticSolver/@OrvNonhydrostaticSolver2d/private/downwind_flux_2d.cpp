// downwind_flux_2d: the downwind numerical flux of two fields paired with the
// x and the y component of the face normal, on faces between two wet elements.
//
//   [downwindFluxX, downwindFluxY] = downwind_flux_2d(cellStatus, faceToElement,
//       dischargeXLocal, dischargeYLocal, dischargeXAdjacent, dischargeYAdjacent,
//       fieldXLocal, fieldXAdjacent, fieldYLocal, fieldYAdjacent, normalX, normalY)
//
//   cellStatus:    int8, K entries, CellStatus of each element
//   faceToElement: 2 x Nface, 1-based local (row 1) and adjacent (row 2) element
//   dischargeXLocal ... normalY: Nfp x Nface each, hu, hv of the local and the
//                  adjacent side, the x-paired field (local, adjacent), the
//                  y-paired field (local, adjacent), and the normal (outward for
//                  the local side); dischargeXLocal gives Nfp and Nface
//   downwindFluxX, downwindFluxY: Nfp x Nface
//
// Where both normal discharges agree in direction each field takes the value of
// the side the flow runs towards, otherwise the average of both sides; the
// result is that value times nx (first output) and times ny (second). Faces
// with an element that is not Wet (Dry and PressureFree included) keep 0.
#include "dispatch.hpp"
#include "kernel_frame.hpp"
#include "normal_flow_side.hpp"
#include "wet_faces.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("downwind_flux_2d");

// Downwind flux at nodes first .. last-1 of faces between two wet elements.
inline void downwindFluxOfNodes(std::ptrdiff_t first, std::ptrdiff_t last, const double* __restrict huL,
                                const double* __restrict hvL, const double* __restrict huA,
                                const double* __restrict hvA, const double* __restrict xL,
                                const double* __restrict xA, const double* __restrict yL,
                                const double* __restrict yA, const double* __restrict nx,
                                const double* __restrict ny, double* __restrict fluxX, double* __restrict fluxY) {
    for (std::ptrdiff_t i = first; i < last; ++i) {
        const NormalFlowSide side =
            normalFlowSide(normalDischarge(huL[i], hvL[i], nx[i], ny[i]), normalDischarge(huA[i], hvA[i], nx[i], ny[i]));
        // The downstream value: flow from the local side runs towards the
        // adjacent one and the reverse; the average where the sides disagree.
        const double x = pickByFlowSide(side, xA[i], xL[i], (xL[i] + xA[i]) * 0.5);
        const double y = pickByFlowSide(side, yA[i], yL[i], (yL[i] + yA[i]) * 0.5);
        fluxX[i] = x * nx[i];
        fluxY[i] = y * ny[i];
    }
}

// Marks the faces that touch a non-wet element, then evaluates the nodes of
// the others; in[] holds the ten per-node inputs in call order.
KERNELS_WIDE_CLONES void downwindFlux2d(const FaceElements& faces, std::ptrdiff_t Nfp, std::ptrdiff_t Nface,
                                        const double* const in[10], double* faceMarker, double* fluxX,
                                        double* fluxY) {
    markNonWetFaces(faces.cellStatus, faces.faceToElement, Nface, faceMarker);
    // Runs of faces between two wet elements; the other faces keep 0.
    for (FaceRun run = nextWetFaceRun(faceMarker, Nface, 0); run.first < Nface;
         run = nextWetFaceRun(faceMarker, Nface, run.last)) {
        downwindFluxOfNodes(run.first * Nfp, run.last * Nfp, in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7],
                            in[8], in[9], fluxX, fluxY);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    static const char* const kNodeInputs[10] = {
        "dischargeXLocal", "dischargeYLocal", "dischargeXAdjacent", "dischargeYAdjacent", "fieldXLocal",
        "fieldXAdjacent",  "fieldYLocal",     "fieldYAdjacent",     "normalX",            "normalY"};
    requireDoubleArray(argument(kModule, prhs, 2, kNodeInputs[0]));
    const std::ptrdiff_t Nfp = rows(prhs[2]);
    const std::ptrdiff_t Nface = columns(prhs[2]);
    const FaceElements faces =
        bindFaceElements(argument(kModule, prhs, 0, "cellStatus"), argument(kModule, prhs, 1, "faceToElement"), Nface);
    const double* in[10];
    bindNodeInputs(kModule, prhs, 2, 10, kNodeInputs, Nfp, Nface, in);

    // 3. Outputs: two Nfp x Nface, zero-filled; then the face marker, host
    // scratch that is never returned.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(Nfp), static_cast<mwSize>(Nface), mxREAL);
    plhs[1] = mxCreateDoubleMatrix(static_cast<mwSize>(Nfp), static_cast<mwSize>(Nface), mxREAL);
    double* faceMarker = mxGetPr(mxCreateDoubleMatrix(1, static_cast<mwSize>(Nface), mxREAL));

    // 4. Downwind fluxes.
    downwindFlux2d(faces, Nfp, Nface, in, faceMarker, mxGetPr(plhs[0]), mxGetPr(plhs[1]));
}
