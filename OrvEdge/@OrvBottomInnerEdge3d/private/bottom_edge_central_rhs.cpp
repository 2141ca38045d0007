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

// The jump rule has a name outside the module's unnamed namespace: a build may
// compile its wide assemblies in units of their own.
namespace bottom_edge_central_rhs_rule {

// Half of each side's flux minus the other side's, the difference formed
// first: dA is exactly -dL, so both sides get the same face vector.
struct CentralJump {
    static constexpr bool readsNumericalFlux = false;
    static constexpr bool adjacentMirrorsLocal = true;
    template <class T>
    static void jumps(const T& fluxLocal, const T& fluxAdjacent, const T&, T& local, T& adjacent) {
        local = 0.5 * (fluxLocal - fluxAdjacent);
        adjacent = 0.5 * (fluxAdjacent - fluxLocal);
    }
};

}  // namespace bottom_edge_central_rhs_rule

KERNELS_EDGE_ASSEMBLY(bottom_edge_central_rhs_rule::CentralJump);

#if KERNELS_EDGE_ENTRY_UNIT
namespace {

using namespace kernels;
using bottom_edge_central_rhs_rule::CentralJump;

constexpr const ModuleSignature& kModule = moduleSignature("bottom_edge_central_rhs");

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs: all double arrays; extents from jacobian and fluxLocal.
    const EdgeFaceSet set = bindEdgeFaceSet(kModule, prhs, CentralJump::readsNumericalFlux);

    // 3. Output: rhs, Np x K x Nfield, zero-filled.
    plhs[0] = createEdgeRhs(set);

    // 4. Surface term: face pass, then the inverse mass matrix and the Jacobian.
    const EdgeScratch scratch = hostEdgeScratch(set);
    assembleEdgeRhs<CentralJump>(set, mxGetPr(plhs[0]), scratch);
}
#endif
