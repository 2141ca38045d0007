// inner_edge_strong_rhs: the strong-form surface term of the right-hand side on
// a set of inner faces. Each face adds to both of its elements the face mass
// matrix times faceJacobian times that side's jump against the numerical flux
// (with the opposite sign on the adjacent side); then every element column is
// multiplied by the inverse mass matrix and divided by the element Jacobian.
//
//   rhs = inner_edge_strong_rhs(inverseMassMatrix, faceMassMatrix, faceToElement,
//                               faceToNodeLocal, faceToNodeAdjacent, faceJacobian,
//                               jacobian, fluxLocal, fluxAdjacent, numericalFlux)
//
//   inverseMassMatrix: Np x Np          faceMassMatrix: Nfp x Nfp
//   faceToElement:     2 x Nface, local and adjacent element (1-based)
//   faceToNodeLocal, faceToNodeAdjacent: Nfp x Nface, node in the element (1-based)
//   faceJacobian:      Nfp x Nface      jacobian: Np x K
//   fluxLocal, fluxAdjacent, numericalFlux: Nfp x Nface x Nfield, all oriented
//                      by the local side's outward normal
//   rhs:               Np x K x Nfield
//
// Np and K come from jacobian, Nfp, Nface and Nfield from fluxLocal (Nfield = 1
// when it has two dimensions); the other inputs must hold at least as many
// entries as those extents need.
#include "edge_assembly.hpp"
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("inner_edge_strong_rhs");

// Each side's flux minus the numerical flux; the assembly gives the adjacent
// side its opposite sign.
struct NumericalFluxJump {
    static constexpr bool readsNumericalFlux = true;
    static constexpr bool adjacentMirrorsLocal = false;
    static double local(double fluxLocal, double, double numericalFlux) { return fluxLocal - numericalFlux; }
    static double adjacent(double, double fluxAdjacent, double numericalFlux) { return fluxAdjacent - numericalFlux; }
};

constexpr const char* kInputNames[10] = {"inverseMassMatrix", "faceMassMatrix", "faceToElement",
                                         "faceToNodeLocal",   "faceToNodeAdjacent", "faceJacobian",
                                         "jacobian",          "fluxLocal",      "fluxAdjacent",
                                         "numericalFlux"};

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs: all double arrays; extents from jacobian and fluxLocal.
    Argument in[10] = {
        argument(kModule, prhs, 0, kInputNames[0]), argument(kModule, prhs, 1, kInputNames[1]),
        argument(kModule, prhs, 2, kInputNames[2]), argument(kModule, prhs, 3, kInputNames[3]),
        argument(kModule, prhs, 4, kInputNames[4]), argument(kModule, prhs, 5, kInputNames[5]),
        argument(kModule, prhs, 6, kInputNames[6]), argument(kModule, prhs, 7, kInputNames[7]),
        argument(kModule, prhs, 8, kInputNames[8]), argument(kModule, prhs, 9, kInputNames[9]),
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
    requireElements(in[9], fluxEntries, "Nfp*Nface*Nfield");
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
    set.numericalFlux = mxGetPr(prhs[9]);

    // 3. Output: rhs, Np x K x Nfield, zero-filled.
    const mwSize dims[3] = {static_cast<mwSize>(set.Np), static_cast<mwSize>(set.K),
                            static_cast<mwSize>(set.Nfield)};
    plhs[0] = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);

    // 4. Surface term: face pass, then the inverse mass matrix and the Jacobian.
    const EdgeScratch scratch = hostEdgeScratch(set, productColumns(set.Np));
    assembleEdgeRhs<NumericalFluxJump>(set, mxGetPr(plhs[0]), scratch);
}
