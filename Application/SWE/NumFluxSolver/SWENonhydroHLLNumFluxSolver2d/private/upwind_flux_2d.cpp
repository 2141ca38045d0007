// upwind_flux_2d: the upwind numerical normal flux q*(u.n) of a field q that
// the depth-averaged flow carries, on faces between two wet elements.
//
//   upwindFlux = upwind_flux_2d(cellStatus, faceToElement,
//                               depthLocal, dischargeXLocal, dischargeYLocal, scalarLocal,
//                               depthAdjacent, dischargeXAdjacent, dischargeYAdjacent, scalarAdjacent,
//                               normalX, normalY)
//
//   cellStatus:    int8, K entries, CellStatus of each element
//   faceToElement: 2 x Nface, 1-based local (row 1) and adjacent (row 2) element
//   depthLocal ... normalY: Nfp x Nface each, h, hu, hv, q of the local side,
//                  then of the adjacent side, then the normal (outward for the
//                  local side); depthLocal gives Nfp and Nface
//   upwindFlux:    Nfp x Nface
//
// Where both normal discharges agree in direction q is taken from the side the
// flow comes from, (q*qn)/h; otherwise the two one-sided fluxes are averaged.
// Faces with an element that is not Wet (Dry and PressureFree included) keep 0.
#include "dispatch.hpp"
#include "kernel_frame.hpp"
#include "normal_flow_side.hpp"
#include "wet_faces.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("upwind_flux_2d");

// Upwind flux at nodes first .. last-1 of faces between two wet elements.
inline void upwindFluxOfNodes(std::ptrdiff_t first, std::ptrdiff_t last, const double* __restrict hL,
                              const double* __restrict huL, const double* __restrict hvL,
                              const double* __restrict qL, const double* __restrict hA,
                              const double* __restrict huA, const double* __restrict hvA,
                              const double* __restrict qA, const double* __restrict nx,
                              const double* __restrict ny, double* __restrict flux) {
    for (std::ptrdiff_t i = first; i < last; ++i) {
        const double qnL = normalDischarge(huL[i], hvL[i], nx[i], ny[i]);
        const double qnA = normalDischarge(huA[i], hvA[i], nx[i], ny[i]);
        // Each side's quotient serves its one-sided flux where the flow comes
        // from that side and the x part of the central flux otherwise: the
        // same quotients as the solver's, four divisions a node instead of six.
        // Both numerators are picked before either is divided: in the other
        // order GCC moves the divisions into branches and the loop stays scalar.
        const double ownL = qL[i] * qnL, ownA = qA[i] * qnA;
        const double alongL = qL[i] * huL[i], alongA = qA[i] * huA[i];
        const double numeratorL = ifFromLocal(qnL, qnA, ownL, alongL);
        const double numeratorA = ifFromAdjacent(qnL, qnA, ownA, alongA);
        const double xL = numeratorL / hL[i];
        const double xA = numeratorA / hA[i];
        const double central =
            ((xL + xA) * nx[i]) * 0.5 + (((qL[i] * hvL[i]) / hL[i] + (qA[i] * hvA[i]) / hA[i]) * ny[i]) * 0.5;
        flux[i] = pickByFlowSide(normalFlowSide(qnL, qnA), xL, xA, central);
    }
}

// Marks the faces that touch a non-wet element, then evaluates the nodes of
// the others; in[] holds the ten per-node inputs in call order.
KERNELS_WIDE_CLONES void upwindFlux2d(const FaceElements& faces, std::ptrdiff_t Nfp, std::ptrdiff_t Nface,
                                      const double* const in[10], double* faceMarker, double* upwindFlux) {
    markNonWetFaces(faces.cellStatus, faces.faceToElement, Nface, faceMarker);
    // Runs of faces between two wet elements; the other faces keep 0.
    for (FaceRun run = nextWetFaceRun(faceMarker, Nface, 0); run.first < Nface;
         run = nextWetFaceRun(faceMarker, Nface, run.last)) {
        upwindFluxOfNodes(run.first * Nfp, run.last * Nfp, in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7],
                          in[8], in[9], upwindFlux);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    static const char* const kNodeInputs[10] = {
        "depthLocal",    "dischargeXLocal",    "dischargeYLocal",    "scalarLocal",
        "depthAdjacent", "dischargeXAdjacent", "dischargeYAdjacent", "scalarAdjacent",
        "normalX",       "normalY"};
    requireDoubleArray(argument(kModule, prhs, 2, kNodeInputs[0]));
    const std::ptrdiff_t Nfp = rows(prhs[2]);
    const std::ptrdiff_t Nface = columns(prhs[2]);
    const FaceElements faces =
        bindFaceElements(argument(kModule, prhs, 0, "cellStatus"), argument(kModule, prhs, 1, "faceToElement"), Nface);
    const double* in[10];
    bindNodeInputs(kModule, prhs, 2, 10, kNodeInputs, Nfp, Nface, in);

    // 3. Outputs: Nfp x Nface, zero-filled; then the face marker, host scratch
    // that is never returned.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(Nfp), static_cast<mwSize>(Nface), mxREAL);
    double* faceMarker = mxGetPr(mxCreateDoubleMatrix(1, static_cast<mwSize>(Nface), mxREAL));

    // 4. Upwind flux.
    upwindFlux2d(faces, Nfp, Nface, in, faceMarker, mxGetPr(plhs[0]));
}
