// Strong-form surface right-hand side on a set of faces, shared by the edge
// modules: every face adds to the nodes of its two elements the face mass
// matrix times faceJacobian times each side's jump, then every element column
// is multiplied by the inverse mass matrix (BLAS dgemm) and divided node by
// node by the element Jacobian. The modules differ only in the jump, which each
// passes in as a jump rule (described below).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "blas64.hpp"
#include "gateway.hpp"
#include "host_interface.hpp"
#include "kernel_types.hpp"

namespace kernels {

// The inputs of one assembly, bound and checked by the module. Column-major:
//   inverseMassMatrix Np x Np, faceMassMatrix Nfp x Nfp, faceToElement 2 x Nface,
//   faceToNodeLocal, faceToNodeAdjacent, faceJacobian Nfp x Nface,
//   jacobian Np x K, fluxLocal, fluxAdjacent, numericalFlux Nfp x Nface x Nfield.
// numericalFlux is null for rules that do not read it.
struct EdgeFaceSet {
    std::ptrdiff_t Np;
    std::ptrdiff_t K;
    std::ptrdiff_t Nfp;
    std::ptrdiff_t Nface;
    std::ptrdiff_t Nfield;
    const double* inverseMassMatrix;
    const double* faceMassMatrix;
    const double* faceToElement;
    const double* faceToNodeLocal;
    const double* faceToNodeAdjacent;
    const double* faceJacobian;
    const double* jacobian;
    const double* fluxLocal;
    const double* fluxAdjacent;
    const double* numericalFlux;
};

// A jump rule is a type with
//   static constexpr bool readsNumericalFlux;  // whether numericalFlux is read
//   static constexpr bool adjacentMirrorsLocal;
//   static double local(double fluxLocal, double fluxAdjacent, double numericalFlux);
//   static double adjacent(double fluxLocal, double fluxAdjacent, double numericalFlux);
// local and adjacent give the jumps dL and dA of one face node. The local side
// receives the sum over m of (faceMassMatrix(r, m)*faceJacobian)*dL, the
// adjacent side minus the same sum of dA. A rule whose adjacent jump is exactly
// the negated local jump (a - b against b - a, also when scaled by a power of
// two) sets adjacentMirrorsLocal: the adjacent vector then equals the local one
// bit for bit, and the assembly forms it once.

// n*n for an element-count check, saturated so that no extent can wrap it.
inline std::ptrdiff_t squareEntries(std::ptrdiff_t n) {
    return n > 3037000499 ? PTRDIFF_MAX : n * n;
}

// Faces of up to this many nodes keep their scratch on the call stack (about
// 9.5 KiB); larger faces use host scratch (EdgeScratch::face).
inline constexpr std::ptrdiff_t kMaxStackFaceNodes = 32;

// Columns of the mass-matrix product per dgemm call. The element columns of a
// field are multiplied in blocks into host scratch, which is still in cache
// when the block is divided by the Jacobian and copied back. A block holds at
// most 128 KiB and at most 2^18 multiply-adds (Np*Np*columns): products that
// small the BLAS runs on the calling thread (OpenBLAS splits larger ones over
// its threads), so no worker thread spins beside the module for no gain and
// the rounding does not change with the BLAS's thread count.
// One call per element column (columnsPerProduct = 1) spends most of its time
// in the BLAS's per-call work; one call per whole page needs a page of scratch
// and is no faster (bench/edge_rhs_bench.cpp). A block product may round a
// column differently from a one-column product: the forms agree within
// rounding, not bit for bit (tests/edge_assembly_test.cpp).
inline constexpr std::ptrdiff_t kProductBlockBytes = 128 * 1024;
inline constexpr std::ptrdiff_t kProductBlockMultiplyAdds = std::ptrdiff_t{1} << 18;
inline std::ptrdiff_t productColumns(std::ptrdiff_t Np) {
    const std::ptrdiff_t n = std::max<std::ptrdiff_t>(Np, 1);
    const std::ptrdiff_t byBytes = kProductBlockBytes / (8 * n);
    const std::ptrdiff_t byWork = n > kProductBlockMultiplyAdds ? 0 : kProductBlockMultiplyAdds / n / n;
    return std::max<std::ptrdiff_t>(1, std::min(byBytes, byWork));
}

// Bytes of face scratch for faces of Nfp nodes: the weighted face mass matrix
// (Nfp x Nfp), four vectors of Nfp doubles and two of Nfp offsets.
inline std::size_t faceScratchBytes(std::ptrdiff_t Nfp) {
    return static_cast<std::size_t>(Nfp * Nfp + 6 * Nfp) * sizeof(double);
}

// Host scratch of one assembly: `product` holds Np x columnsPerProduct doubles;
// `face` holds faceScratchBytes(Nfp) bytes, or is null when the faces fit on
// the stack.
struct EdgeScratch {
    std::ptrdiff_t columnsPerProduct;
    double* product;
    void* face;
};

// Scratch from the host, reclaimed when the call ends (also by an error).
inline EdgeScratch hostEdgeScratch(const EdgeFaceSet& set, std::ptrdiff_t columnsPerProduct) {
    const std::ptrdiff_t columns = std::max<std::ptrdiff_t>(1, std::min(columnsPerProduct, set.K));
    EdgeScratch scratch;
    scratch.columnsPerProduct = columns;
    scratch.product = static_cast<double*>(mxMalloc(static_cast<std::size_t>(set.Np * columns) * sizeof(double)));
    scratch.face = set.Nfp > kMaxStackFaceNodes ? mxMalloc(faceScratchBytes(set.Nfp)) : nullptr;
    return scratch;
}

namespace edge_detail {

// Face mass matrix with each column m weighted by the face Jacobian of node m.
inline void weightFaceMass(std::ptrdiff_t Nfp, const double* __restrict faceMass, const double* __restrict w,
                           double* __restrict weighted) {
    for (std::ptrdiff_t m = 0; m < Nfp; ++m) {
        for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
            weighted[r + m * Nfp] = faceMass[r + m * Nfp] * w[m];
        }
    }
}

// Jumps of both sides at the nodes of one face.
template <class Jump>
inline void faceJumps(std::ptrdiff_t Nfp, const double* __restrict fL, const double* __restrict fA,
                      const double* __restrict fN, double* __restrict dL, double* __restrict dA) {
    for (std::ptrdiff_t m = 0; m < Nfp; ++m) {
        const double numerical = Jump::readsNumericalFlux ? fN[m] : 0.0;
        dL[m] = Jump::local(fL[m], fA[m], numerical);
        if constexpr (!Jump::adjacentMirrorsLocal) {
            dA[m] = Jump::adjacent(fL[m], fA[m], numerical);
        }
    }
}

// The first face node's share of the face vectors: the vectors start from
// 0.0, and 0.0 + x is kept as written (it turns a -0.0 product into +0.0).
inline void startWithColumn(std::ptrdiff_t Nfp, const double* __restrict column, double dL, double dA,
                            double* __restrict cL, double* __restrict cA) {
    for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
        cL[r] = 0.0 + column[r] * dL;
        cA[r] = 0.0 - column[r] * dA;
    }
}

inline void startWithColumn(std::ptrdiff_t Nfp, const double* __restrict column, double dL, double* __restrict cL) {
    for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
        cL[r] = 0.0 + column[r] * dL;
    }
}

// Face node m's share of the face vectors: column m of the weighted face mass
// matrix times the jump, added on the local side and subtracted on the
// adjacent side.
inline void addColumn(std::ptrdiff_t Nfp, const double* __restrict column, double dL, double dA,
                      double* __restrict cL, double* __restrict cA) {
    for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
        cL[r] += column[r] * dL;
        cA[r] -= column[r] * dA;
    }
}

inline void addColumn(std::ptrdiff_t Nfp, const double* __restrict column, double dL, double* __restrict cL) {
    for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
        cL[r] += column[r] * dL;
    }
}

// Face vectors of one field: cL[r] = sum over m of W(r, m)*dL[m] (and cA with
// minus dA), accumulated from 0.0 over m in increasing order. A rule whose
// adjacent jump mirrors the local one forms cL only (cA is then cL).
template <class Jump>
inline void faceVectors(std::ptrdiff_t Nfp, const double* weighted, const double* dL, const double* dA, double* cL,
                        double* cA) {
    if (Nfp == 0) {
        return;
    }
    if constexpr (Jump::adjacentMirrorsLocal) {
        startWithColumn(Nfp, weighted, dL[0], cL);
        for (std::ptrdiff_t m = 1; m < Nfp; ++m) {
            addColumn(Nfp, weighted + m * Nfp, dL[m], cL);
        }
    } else {
        startWithColumn(Nfp, weighted, dL[0], dA[0], cL, cA);
        for (std::ptrdiff_t m = 1; m < Nfp; ++m) {
            addColumn(Nfp, weighted + m * Nfp, dL[m], dA[m], cL, cA);
        }
    }
}

// Node r of the local side, then node r of the adjacent side, r increasing: the
// order in which entries shared by both sides (or by two faces) accumulate.
inline void scatterFace(std::ptrdiff_t Nfp, const std::ptrdiff_t* nodeL, const std::ptrdiff_t* nodeA,
                        const double* cL, const double* cA, double* page) {
    for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
        page[nodeL[r]] += cL[r];
        page[nodeA[r]] += cA[r];
    }
}

// Face pass: every face adds its two face vectors into the element nodes it
// touches, faces in increasing order. Each face's element nodes and weighted
// face mass matrix are found once and serve every field; entries of different
// fields are disjoint, so each entry still receives its contributions face by
// face as it would with one pass per field.
template <class Jump, std::ptrdiff_t FixedNfp>
void addFaceContributionsOf(const EdgeFaceSet& s, double* rhs, void* hostFaceScratch) {
    const std::ptrdiff_t Nfp = FixedNfp > 0 ? FixedNfp : s.Nfp;
    const std::ptrdiff_t faceEntries = Nfp * s.Nface;
    const std::ptrdiff_t pageEntries = s.Np * s.K;
    alignas(64) double stackValues[kMaxStackFaceNodes * kMaxStackFaceNodes + 4 * kMaxStackFaceNodes];
    std::ptrdiff_t stackNodes[2 * kMaxStackFaceNodes];
    const bool onStack = Nfp <= kMaxStackFaceNodes;
    double* weighted = onStack ? stackValues : static_cast<double*>(hostFaceScratch);
    double* dL = weighted + Nfp * Nfp;
    double* dA = dL + Nfp;
    double* cL = dA + Nfp;
    double* cA = Jump::adjacentMirrorsLocal ? cL : cL + Nfp;
    std::ptrdiff_t* nodeL = onStack ? stackNodes : reinterpret_cast<std::ptrdiff_t*>(weighted + Nfp * Nfp + 4 * Nfp);
    std::ptrdiff_t* nodeA = nodeL + Nfp;
    // Faces: element nodes of both sides, weighted face mass, then each field's
    // jumps, face vectors and scatter.
    for (std::ptrdiff_t f = 0; f < s.Nface; ++f) {
        const std::ptrdiff_t eL = toZeroBasedIndex(s.faceToElement[2 * f]);
        const std::ptrdiff_t eA = toZeroBasedIndex(s.faceToElement[2 * f + 1]);
        const std::ptrdiff_t g0 = Nfp * f;
        for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
            nodeL[r] = s.Np * eL + toZeroBasedIndex(s.faceToNodeLocal[g0 + r]);
            nodeA[r] = s.Np * eA + toZeroBasedIndex(s.faceToNodeAdjacent[g0 + r]);
        }
        weightFaceMass(Nfp, s.faceMassMatrix, s.faceJacobian + g0, weighted);
        for (std::ptrdiff_t n = 0; n < s.Nfield; ++n) {
            const std::ptrdiff_t g = g0 + faceEntries * n;
            faceJumps<Jump>(Nfp, s.fluxLocal + g, s.fluxAdjacent + g,
                            Jump::readsNumericalFlux ? s.numericalFlux + g : nullptr, dL, dA);
            faceVectors<Jump>(Nfp, weighted, dL, dA, cL, cA);
            scatterFace(Nfp, nodeL, nodeA, cL, cA, rhs + pageEntries * n);
        }
    }
}

// The face pass with the face size known to the compiler, which then unrolls
// the short node loops; FixedNfp = 0 reads it from the face set.
template <class Jump, std::ptrdiff_t... FixedNfp>
void addFaceContributionsDispatch(const EdgeFaceSet& s, double* rhs, void* hostFaceScratch) {
    const bool fixed = ((s.Nfp == FixedNfp ? (addFaceContributionsOf<Jump, FixedNfp>(s, rhs, hostFaceScratch), true)
                                           : false) ||
                        ...);
    if (!fixed) {
        addFaceContributionsOf<Jump, 0>(s, rhs, hostFaceScratch);
    }
}

// Faces of lines (2 to 7 nodes) and of triangles (3, 6, 10, 15, 21, 28 nodes)
// of orders 1 to 6 get code of their own.
template <class Jump>
void addFaceContributions(const EdgeFaceSet& s, double* rhs, void* hostFaceScratch) {
    // Faces without nodes add nothing, however many faces and fields there are.
    if (s.Nfp == 0) {
        return;
    }
    addFaceContributionsDispatch<Jump, 2, 3, 4, 5, 6, 7, 10, 15, 21, 28>(s, rhs, hostFaceScratch);
}

// Nodes of a block of element columns: the mass product over the Jacobian.
inline void divideByJacobian(std::ptrdiff_t count, const double* __restrict product,
                             const double* __restrict jacobian, double* __restrict column) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        column[i] = product[i] / jacobian[i];
    }
}

// Element pass: every element column of every field becomes
// (inverseMassMatrix * column) ./ jacobian, columnsPerProduct columns per dgemm.
inline void applyInverseMass(const EdgeFaceSet& s, double* rhs, std::ptrdiff_t columnsPerProduct,
                             double* product) {
    if (s.Np == 0 || s.K == 0) {
        return;
    }
    const char* notTransposed = "N";
    const BlasInt Np = s.Np;
    const double one = 1.0;
    const double zero = 0.0;
    // Field pages, element columns in blocks: product, then division.
    for (std::ptrdiff_t n = 0; n < s.Nfield; ++n) {
        double* page = rhs + s.Np * s.K * n;
        for (std::ptrdiff_t k0 = 0; k0 < s.K; k0 += columnsPerProduct) {
            const BlasInt columns = std::min(columnsPerProduct, s.K - k0);
            double* block = page + s.Np * k0;
            dgemm_(notTransposed, notTransposed, &Np, &columns, &Np, &one, s.inverseMassMatrix, &Np, block, &Np,
                   &zero, product, &Np);
            divideByJacobian(s.Np * columns, product, s.jacobian + s.Np * k0, block);
        }
    }
}

}  // namespace edge_detail

// Binds and checks the inputs of an edge module, before any output exists:
// inputs 0 to 8 (inverseMassMatrix, faceMassMatrix, faceToElement,
// faceToNodeLocal, faceToNodeAdjacent, faceJacobian, jacobian, fluxLocal,
// fluxAdjacent) and, for a rule that reads it, input 9 (numericalFlux). All
// are double arrays; Np and K come from jacobian, Nfp, Nface and Nfield from
// fluxLocal (Nfield = 1 when it has two dimensions); every other input must
// hold what those extents read, and every index must name an element or node.
inline EdgeFaceSet bindEdgeFaceSet(const ModuleSignature& module, const mxArray* const prhs[],
                                   bool readsNumericalFlux) {
    static constexpr const char* kNames[10] = {"inverseMassMatrix", "faceMassMatrix",     "faceToElement",
                                               "faceToNodeLocal",   "faceToNodeAdjacent", "faceJacobian",
                                               "jacobian",          "fluxLocal",          "fluxAdjacent",
                                               "numericalFlux"};
    const int inputs = readsNumericalFlux ? 10 : 9;
    for (int i = 0; i < inputs; ++i) {
        requireDoubleArray(argument(module, prhs, i, kNames[i]));
    }
    EdgeFaceSet set;
    set.Np = rows(prhs[6]);
    set.K = columns(prhs[6]);
    set.Nfp = extent(prhs[7], 0);
    set.Nface = extent(prhs[7], 1);
    set.Nfield = extent(prhs[7], 2);
    const std::ptrdiff_t faceEntries = set.Nfp * set.Nface;
    const std::ptrdiff_t fluxEntries = faceEntries * set.Nfield;
    requireElements(argument(module, prhs, 0, kNames[0]), squareEntries(set.Np), "Np*Np");
    requireElements(argument(module, prhs, 1, kNames[1]), squareEntries(set.Nfp), "Nfp*Nfp");
    const std::ptrdiff_t faceElements = countProduct(argument(module, prhs, 7, kNames[7]), 2, set.Nface, "2*Nface");
    requireElements(argument(module, prhs, 2, kNames[2]), faceElements, "2*Nface");
    for (int i = 3; i <= 5; ++i) {
        requireElements(argument(module, prhs, i, kNames[i]), faceEntries, "Nfp*Nface");
    }
    for (int i = 7; i < inputs; ++i) {
        requireElements(argument(module, prhs, i, kNames[i]), fluxEntries, "Nfp*Nface*Nfield");
    }
    requireIndices(argument(module, prhs, 2, kNames[2]), faceElements, 1, 0, set.K, "K");
    requireIndices(argument(module, prhs, 3, kNames[3]), faceEntries, 1, 0, set.Np, "Np");
    requireIndices(argument(module, prhs, 4, kNames[4]), faceEntries, 1, 0, set.Np, "Np");
    set.inverseMassMatrix = mxGetPr(prhs[0]);
    set.faceMassMatrix = mxGetPr(prhs[1]);
    set.faceToElement = mxGetPr(prhs[2]);
    set.faceToNodeLocal = mxGetPr(prhs[3]);
    set.faceToNodeAdjacent = mxGetPr(prhs[4]);
    set.faceJacobian = mxGetPr(prhs[5]);
    set.jacobian = mxGetPr(prhs[6]);
    set.fluxLocal = mxGetPr(prhs[7]);
    set.fluxAdjacent = mxGetPr(prhs[8]);
    set.numericalFlux = readsNumericalFlux ? mxGetPr(prhs[9]) : nullptr;
    return set;
}

// The output rhs, Np x K x Nfield, zero-filled.
inline mxArray* createEdgeRhs(const EdgeFaceSet& set) {
    const mwSize dims[3] = {static_cast<mwSize>(set.Np), static_cast<mwSize>(set.K),
                            static_cast<mwSize>(set.Nfield)};
    return mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);
}

// The assembly into rhs (Np x K x Nfield, zero-filled by the caller): the face
// pass for all fields, then the element pass. Every entry of rhs is written.
template <class Jump>
void assembleEdgeRhs(const EdgeFaceSet& set, double* rhs, const EdgeScratch& scratch) {
    edge_detail::addFaceContributions<Jump>(set, rhs, scratch.face);
    edge_detail::applyInverseMass(set, rhs, scratch.columnsPerProduct, scratch.product);
}

}  // namespace kernels
