// bottom_edge_central_rhs: the strong-form surface term of the right-hand side
// on the bottom inner edges of the 3d mesh (horizontal faces between two stacked
// elements), with the central flux: the numerical flux is the mean of the two
// sides' fluxes. Both elements of a face receive the same face vector,
// faceMassMatrix * (faceJacobian .* (0.5 * (fluxLocal - fluxAdjacent))), each
// through its own node map, half of what bottom_edge_alter_rhs assembles; then
// every element column is multiplied by the inverse mass matrix and divided by
// the element Jacobian.
//
//   rhs = bottom_edge_central_rhs(inverseMassMatrix, faceMassMatrix, faceToElement,
//                               faceToNodeLocal, faceToNodeAdjacent, faceJacobian,
//                               jacobian, fluxLocal, fluxAdjacent)
//
//   inverseMassMatrix: Np x Np          faceMassMatrix: Nfp x Nfp
//   faceToElement:     2 x Nface, local and adjacent element (1-based)
//   faceToNodeLocal, faceToNodeAdjacent: Nfp x Nface, node in the element (1-based)
//   faceJacobian:      Nfp x Nface      jacobian: Np x K
//   fluxLocal, fluxAdjacent: Nfp x Nface x Nfield, oriented by the local side's
//                      outward normal
//   rhs:               Np x K x Nfield
//
// Np and K come from jacobian, Nfp, Nface and Nfield from fluxLocal (Nfield = 1
// when it has two dimensions); the other inputs must hold at least as many
// entries as those extents need.
#include "edge_assembly.hpp"
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("bottom_edge_central_rhs");

// Half of each side's flux minus the other side's, the difference formed
// first: dA is exactly -dL, so both sides get the same face vector.
struct CentralJump {
    static constexpr bool readsNumericalFlux = false;
    static constexpr bool adjacentMirrorsLocal = true;
    static double local(double fluxLocal, double fluxAdjacent, double) { return 0.5 * (fluxLocal - fluxAdjacent); }
    static double adjacent(double fluxLocal, double fluxAdjacent, double) { return 0.5 * (fluxAdjacent - fluxLocal); }
};

constexpr const char* kInputNames[9] = {"inverseMassMatrix", "faceMassMatrix", "faceToElement",
                                        "faceToNodeLocal",   "faceToNodeAdjacent", "faceJacobian",
                                        "jacobian",          "fluxLocal",      "fluxAdjacent"};

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs: all double arrays; extents from jacobian and fluxLocal.
    Argument in[9] = {
        argument(kModule, prhs, 0, kInputNames[0]), argument(kModule, prhs, 1, kInputNames[1]),
        argument(kModule, prhs, 2, kInputNames[2]), argument(kModule, prhs, 3, kInputNames[3]),
        argument(kModule, prhs, 4, kInputNames[4]), argument(kModule, prhs, 5, kInputNames[5]),
        argument(kModule, prhs, 6, kInputNames[6]), argument(kModule, prhs, 7, kInputNames[7]),
        argument(kModule, prhs, 8, kInputNames[8]),
    };
    for (const Argument& arg : in) {
        requireDoubleArray(arg);
    }
    EdgeFaceSet set;
    set.Np = rows(prhs[6]);
    set.K = columns(prhs[6]);
    set.Nfp = extent(prhs[7], 0);
    set.Nface = extent(prhs[7], 1);
    set.Nfield = extent(prhs[7], 2);
    const std::ptrdiff_t faceEntries = set.Nfp * set.Nface;
    const std::ptrdiff_t fluxEntries = faceEntries * set.Nfield;
    requireElements(in[0], squareEntries(set.Np), "Np*Np");
    requireElements(in[1], squareEntries(set.Nfp), "Nfp*Nfp");
    requireElements(in[2], 2 * set.Nface, "2*Nface");
    requireElements(in[3], faceEntries, "Nfp*Nface");
    requireElements(in[4], faceEntries, "Nfp*Nface");
    requireElements(in[5], faceEntries, "Nfp*Nface");
    requireElements(in[7], fluxEntries, "Nfp*Nface*Nfield");
    requireElements(in[8], fluxEntries, "Nfp*Nface*Nfield");
    requireIndices(in[2], 2 * set.Nface, 1, 0, set.K, "K");
    requireIndices(in[3], faceEntries, 1, 0, set.Np, "Np");
    requireIndices(in[4], faceEntries, 1, 0, set.Np, "Np");
    set.inverseMassMatrix = mxGetPr(prhs[0]);
    set.faceMassMatrix = mxGetPr(prhs[1]);
    set.faceToElement = mxGetPr(prhs[2]);
    set.faceToNodeLocal = mxGetPr(prhs[3]);
    set.faceToNodeAdjacent = mxGetPr(prhs[4]);
    set.faceJacobian = mxGetPr(prhs[5]);
    set.jacobian = mxGetPr(prhs[6]);
    set.fluxLocal = mxGetPr(prhs[7]);
    set.fluxAdjacent = mxGetPr(prhs[8]);
    set.numericalFlux = nullptr;

    // 3. Output: rhs, Np x K x Nfield, zero-filled.
    const mwSize dims[3] = {static_cast<mwSize>(set.Np), static_cast<mwSize>(set.K),
                            static_cast<mwSize>(set.Nfield)};
    plhs[0] = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);

    // 4. Surface term: face pass, then the inverse mass matrix and the Jacobian.
    const EdgeScratch scratch = hostEdgeScratch(set, productColumns(set.Np));
    assembleEdgeRhs<CentralJump>(set, mxGetPr(plhs[0]), scratch);
}
