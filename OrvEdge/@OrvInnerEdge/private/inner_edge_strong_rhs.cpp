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

// The jump rule has a name outside the module's unnamed namespace: a build may
// compile its wide assemblies in units of their own.
namespace inner_edge_strong_rhs_rule {

// Each side's flux minus the numerical flux; the assembly gives the adjacent
// side its opposite sign.
struct NumericalFluxJump {
    static constexpr bool readsNumericalFlux = true;
    static constexpr bool adjacentMirrorsLocal = false;
    template <class T>
    static void jumps(const T& fluxLocal, const T& fluxAdjacent, const T& numericalFlux, T& local, T& adjacent) {
        local = fluxLocal - numericalFlux;
        adjacent = fluxAdjacent - numericalFlux;
    }
};

}  // namespace inner_edge_strong_rhs_rule

KERNELS_EDGE_ASSEMBLY(inner_edge_strong_rhs_rule::NumericalFluxJump);

#if KERNELS_EDGE_ENTRY_UNIT
namespace {

using namespace kernels;
using inner_edge_strong_rhs_rule::NumericalFluxJump;

constexpr const ModuleSignature& kModule = moduleSignature("inner_edge_strong_rhs");

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs: all double arrays; extents from jacobian and fluxLocal.
    const EdgeFaceSet set = bindEdgeFaceSet(kModule, prhs, NumericalFluxJump::readsNumericalFlux);

    // 3. Output: rhs, Np x K x Nfield, zero-filled.
    plhs[0] = createEdgeRhs(set);

    // 4. Surface term: face pass, then the inverse mass matrix and the Jacobian.
    const EdgeScratch scratch = hostEdgeScratch(set);
    assembleEdgeRhs<NumericalFluxJump>(set, mxGetPr(plhs[0]), scratch);
}
#endif
