// Strong-form surface right-hand side on a set of faces, shared by the edge
// modules: every face adds to the nodes of its two elements the face mass
// matrix times faceJacobian times each side's jump, then every element column
// is multiplied by the inverse mass matrix and divided node by node by the
// element Jacobian. The modules differ only in the jump, which each passes in
// as a jump rule (described below).
//
// Both passes are small dense products (face mass matrix times the jumps of a
// face, inverse mass matrix times element columns), computed here in blocks of
// rows held in vector registers. Every entry is still one sum, over the inner
// index in increasing order, starting from 0.0, of a product then an add (no
// fused multiply-add): the width of the vectors and the blocking change only
// which entries are computed side by side, never the bits of an entry. On
// x86-64 Linux the widest vectors the processor has (AVX-512, AVX2, else SSE2)
// are chosen at run time; elsewhere the baseline code runs.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dispatch.hpp"
#include "gateway.hpp"
#include "host_interface.hpp"
#include "kernel_types.hpp"

#if defined(_MSC_VER) && !defined(__clang__) && (defined(_M_X64) || defined(_M_IX86))
#include <xmmintrin.h>
#endif

// Wide-vector code: on x86-64 wherever the modules have wider builds (the
// processor's features are read at run time), never on Windows, whose stack
// is not aligned for spills of 32- and 64-byte vectors.
#if KERNELS_WIDE_BUILDS && defined(__x86_64__)
#define KERNELS_EDGE_WIDE_VECTORS 1
#else
#define KERNELS_EDGE_WIDE_VECTORS 0
#endif

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
//   template <class T>
//   static void jumps(const T& fluxLocal, const T& fluxAdjacent, const T& numericalFlux, T& local, T& adjacent);
// jumps gives the jumps dL (local) and dA (adjacent) of one face node (T
// double), or of several nodes side by side (T a vector of doubles, the same
// operations node by node; passed by reference, since vectors passed by value
// would need the same vector width on both sides of the call). The local side
// receives the sum over m of (faceMassMatrix(r, m)*faceJacobian)*dL, the
// adjacent side minus the same sum of dA. A rule whose adjacent jump is exactly
// the negated local jump (a - b against b - a, also when scaled by a power of
// two) sets adjacentMirrorsLocal: the adjacent vector then equals the local one
// bit for bit, and the assembly forms it once.

// n*n for an element-count check, saturated so that no extent can wrap it.
inline std::ptrdiff_t squareEntries(std::ptrdiff_t n) {
    return n > 3037000499 ? PTRDIFF_MAX : n * n;
}

// The vector widths of the products: the baseline (SSE2 registers of 2
// doubles with GCC and Clang, plain doubles with MSVC), AVX2 (4), AVX-512 (8).
enum class EdgeVectors { Baseline = 2, Avx2 = 4, Avx512 = 8 };

// The widest vectors this processor runs.
inline EdgeVectors widestEdgeVectors() {
#if KERNELS_EDGE_WIDE_VECTORS
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) {
        return EdgeVectors::Avx512;
    }
    if (__builtin_cpu_supports("avx2")) {
        return EdgeVectors::Avx2;
    }
#endif
    return EdgeVectors::Baseline;
}

// Whether this processor runs vectors of the given width.
inline bool runsEdgeVectors(EdgeVectors width) {
    return static_cast<int>(width) <= static_cast<int>(widestEdgeVectors());
}

namespace edge_detail {

// Rows of a product block: matrices are packed in blocks of this many rows at
// most (padded with zeros), whatever the vector width.
inline constexpr std::ptrdiff_t kMaxLanes = 8;
// Element columns multiplied together; field pages per face-vector product.
inline constexpr std::ptrdiff_t kColumnsPerProduct = 8;
inline constexpr std::ptrdiff_t kFieldsPerGroup = 4;
// Faces whose inputs are fetched ahead of the face being added.
inline constexpr std::ptrdiff_t kFacesAhead = 16;

inline std::ptrdiff_t paddedRows(std::ptrdiff_t n) {
    return (n + kMaxLanes - 1) / kMaxLanes * kMaxLanes;
}

}  // namespace edge_detail

// Surface sums of elements that are open (touched by a face whose last face
// is still to come) are kept in slots, Np x Nfield doubles each, one element's
// fields side by side, so that a face adds into a few cache lines that stay in
// cache and rhs is written once, when the element is finished. Element k may
// take slot k mod slotCount; when another open element holds it, that element
// is moved out to its columns of rhs and takes its later faces there. The
// slots fill at most this many bytes.
inline constexpr std::ptrdiff_t kSlotBytes = std::ptrdiff_t{1} << 18;

// Slots of a face set: a power of two, at least one, no more than K needs.
inline std::ptrdiff_t slotCount(const EdgeFaceSet& set) {
    const std::ptrdiff_t perSlot = std::max<std::ptrdiff_t>(set.Np * set.Nfield, 1) * std::ptrdiff_t{sizeof(double)};
    std::ptrdiff_t count = 1;
    while (count < set.K && 2 * count * perSlot <= kSlotBytes) {
        count *= 2;
    }
    return count;
}

// Host scratch of one assembly, carved from one block:
//   packedInverseMass  paddedRows(Np) x Np     packedFaceMass  paddedRows(Nfp) x Nfp
//   jumps              2 x kFieldsPerGroup x Nfp
//   faceVectors        2 x kFieldsPerGroup x paddedRows(Nfp)
//   columns            paddedRows(Np) x kColumnsPerProduct
//   slots              slotCount x Np x Nfield
//   nodes              2 x Nfp node numbers     slotOwner  slotCount element numbers
//   lastFace           K face numbers           terms      Np node numbers
//   movedOut           K flags
struct EdgeScratch {
    double* packedInverseMass;
    double* packedFaceMass;
    double* jumps;
    double* faceVectors;
    double* columns;
    double* slots;
    std::ptrdiff_t* nodes;
    std::ptrdiff_t* slotOwner;
    std::ptrdiff_t* lastFace;
    std::ptrdiff_t* terms;
    unsigned char* movedOut;
    std::ptrdiff_t slotCount;
};

// Bytes of scratch for a face set, alignment slack included.
inline std::size_t edgeScratchBytes(const EdgeFaceSet& set) {
    using namespace edge_detail;
    const std::ptrdiff_t rowsNp = paddedRows(set.Np), rowsNfp = paddedRows(set.Nfp);
    const std::ptrdiff_t slots = slotCount(set);
    const std::ptrdiff_t doubles = rowsNp * set.Np + rowsNfp * set.Nfp + 2 * kFieldsPerGroup * set.Nfp +
                                   2 * kFieldsPerGroup * rowsNfp + rowsNp * kColumnsPerProduct +
                                   slots * set.Np * set.Nfield + 2 * set.Nfp + slots + set.K + set.Np;
    return static_cast<std::size_t>(doubles) * sizeof(double) + static_cast<std::size_t>(set.K) + 64;
}

// Splits a block of edgeScratchBytes(set) bytes.
inline EdgeScratch carveEdgeScratch(const EdgeFaceSet& set, void* block) {
    using namespace edge_detail;
    const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(block) + 63) & ~std::uintptr_t{63};
    double* next = reinterpret_cast<double*>(aligned);
    EdgeScratch scratch;
    scratch.slotCount = slotCount(set);
    scratch.packedInverseMass = next;
    next += paddedRows(set.Np) * set.Np;
    scratch.packedFaceMass = next;
    next += paddedRows(set.Nfp) * set.Nfp;
    scratch.jumps = next;
    next += 2 * kFieldsPerGroup * set.Nfp;
    scratch.faceVectors = next;
    next += 2 * kFieldsPerGroup * paddedRows(set.Nfp);
    scratch.columns = next;
    next += paddedRows(set.Np) * kColumnsPerProduct;
    scratch.slots = next;
    next += scratch.slotCount * set.Np * set.Nfield;
    scratch.nodes = reinterpret_cast<std::ptrdiff_t*>(next);
    scratch.slotOwner = scratch.nodes + 2 * set.Nfp;
    scratch.lastFace = scratch.slotOwner + scratch.slotCount;
    scratch.terms = scratch.lastFace + set.K;
    scratch.movedOut = reinterpret_cast<unsigned char*>(scratch.terms + set.Np);
    return scratch;
}

// Scratch from the host, reclaimed when the call ends (also by an error). An
// empty rhs has nothing to assemble and gets none, however large the extents
// of its empty inputs are.
inline EdgeScratch hostEdgeScratch(const EdgeFaceSet& set) {
    if (set.Np == 0 || set.K == 0 || set.Nfield == 0) {
        return EdgeScratch{};
    }
    return carveEdgeScratch(set, mxMalloc(edgeScratchBytes(set)));
}

namespace edge_detail {

// Vectors of Lanes doubles: GCC's and Clang's vector extensions, which the
// compiler maps to the registers of the target; one lane is a plain double
// (the baseline of compilers without them, MSVC).
template <int Lanes>
struct VectorOf;
template <>
struct VectorOf<1> {
    using type = double;
};
// Lines fetched ahead go to the second-level cache: fetched into the first,
// the many streams of a face set ran measurably slower.
#if defined(__GNUC__)
#define KERNELS_EDGE_INLINE inline __attribute__((always_inline))
#define KERNELS_EDGE_PREFETCH(address, forWriting) __builtin_prefetch((address), (forWriting), 2)
inline constexpr int kBaselineLanes = 2;
typedef double Doubles2 __attribute__((vector_size(16)));
typedef double Doubles4 __attribute__((vector_size(32)));
typedef double Doubles8 __attribute__((vector_size(64)));
template <>
struct VectorOf<2> {
    using type = Doubles2;
};
template <>
struct VectorOf<4> {
    using type = Doubles4;
};
template <>
struct VectorOf<8> {
    using type = Doubles8;
};
#elif defined(_M_X64) || defined(_M_IX86)
#define KERNELS_EDGE_INLINE __forceinline
#define KERNELS_EDGE_PREFETCH(address, forWriting) \
    _mm_prefetch(reinterpret_cast<const char*>(address), _MM_HINT_T1)
inline constexpr int kBaselineLanes = 1;
#else
#define KERNELS_EDGE_INLINE inline
#define KERNELS_EDGE_PREFETCH(address, forWriting) ((void)(address))
inline constexpr int kBaselineLanes = 1;
#endif

// A column-major n x n matrix in blocks of Lanes rows: block i holds rows
// i*Lanes .. i*Lanes+Lanes-1 of every column j at packed[(i*n + j)*Lanes],
// rows past n zero.
template <int Lanes>
KERNELS_EDGE_INLINE void packRows(std::ptrdiff_t n, const double* __restrict matrix, double* __restrict packed) {
    const std::ptrdiff_t blocks = (n + Lanes - 1) / Lanes;
    for (std::ptrdiff_t i = 0; i < blocks; ++i) {
        for (std::ptrdiff_t j = 0; j < n; ++j) {
            for (std::ptrdiff_t l = 0; l < Lanes; ++l) {
                const std::ptrdiff_t r = i * Lanes + l;
                packed[(i * n + j) * Lanes + l] = r < n ? matrix[r + n * j] : 0.0;
            }
        }
    }
}

// Sums kept side by side in registers by one product step: enough for the
// adds to follow each other without waiting, few enough for the registers.
inline constexpr int kSumsInFlight = 8;

// Blocks i0 .. i0+Blocks-1 of rows of Columns element columns x[c] (n nodes
// each) times the packed inverse mass matrix: y(r, c) = sum over j of
// invM(r, j)*x[c][j], from 0.0, j increasing, j running over the given terms
// only (increasing; see finishElement), or over all n with AllTerms. y has
// leading dimension ldy, a multiple of Lanes at least n.
template <int Lanes, int Columns, int Blocks, bool AllTerms>
KERNELS_EDGE_INLINE void multiplyBlocks(std::ptrdiff_t n, std::ptrdiff_t i0, const double* __restrict packed,
                                        const double* const* x, const std::ptrdiff_t* __restrict terms,
                                        std::ptrdiff_t termCount, double* __restrict y, std::ptrdiff_t ldy) {
    using V = typename VectorOf<Lanes>::type;
    V sum[Blocks][Columns];
    for (int b = 0; b < Blocks; ++b) {
        for (int c = 0; c < Columns; ++c) {
            sum[b][c] = V{};
        }
    }
    const double* a = packed + i0 * n * Lanes;
    for (std::ptrdiff_t t = 0; t < termCount; ++t) {
        const std::ptrdiff_t j = AllTerms ? t : terms[t];
        for (int b = 0; b < Blocks; ++b) {
            V column;
            std::memcpy(&column, a + (b * n + j) * Lanes, sizeof column);
            for (int c = 0; c < Columns; ++c) {
                sum[b][c] += column * x[c][j];
            }
        }
    }
    for (int b = 0; b < Blocks; ++b) {
        for (int c = 0; c < Columns; ++c) {
            std::memcpy(y + c * ldy + (i0 + b) * Lanes, &sum[b][c], sizeof(V));
        }
    }
}

// All blocks of rows of the product, several blocks per step.
template <int Lanes, int Columns, bool AllTerms>
KERNELS_EDGE_INLINE void multiplyColumns(std::ptrdiff_t n, const double* __restrict packed,
                                         const double* const* columns, const std::ptrdiff_t* __restrict terms,
                                         std::ptrdiff_t termCount, double* __restrict y, std::ptrdiff_t ldy) {
    constexpr int Blocks = (kSumsInFlight + Columns - 1) / Columns;
    const std::ptrdiff_t blocks = (n + Lanes - 1) / Lanes;
    const double* x[Columns];
    for (int c = 0; c < Columns; ++c) {
        x[c] = columns[c];
    }
    std::ptrdiff_t i = 0;
    for (; i + Blocks <= blocks; i += Blocks) {
        multiplyBlocks<Lanes, Columns, Blocks, AllTerms>(n, i, packed, x, terms, termCount, y, ldy);
    }
    for (; i < blocks; ++i) {
        multiplyBlocks<Lanes, Columns, 1, AllTerms>(n, i, packed, x, terms, termCount, y, ldy);
    }
}

// Nodes of element columns: the mass product over the Jacobian.
KERNELS_EDGE_INLINE void divideByJacobian(std::ptrdiff_t count, const double* __restrict product,
                                          const double* __restrict jacobian, double* __restrict column) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        column[i] = product[i] / jacobian[i];
    }
}

// Where the surface sums of an element's fields are: base, then field n at
// base + stride*n; a slot or the element's columns of rhs.
struct ElementColumns {
    double* base;
    std::ptrdiff_t stride;
};

// Elements of more nodes than this list the nodes that add to their sums.
inline constexpr std::ptrdiff_t kListedTermsFrom = 2 * kMaxLanes;

// The open elements' slots. skipsZeroTerms: the inverse mass matrix is finite,
// so that a term invM(r, j)*0 is a zero and adds nothing to a sum that starts
// from +0.0 (such a sum is never -0.0): a node that is zero in every column of
// a product is left out of the sums with the same bits. Element columns are
// zero away from their faces' nodes (a prism's middle layers), and wholly zero
// when no face touches the element.
struct OpenElements {
    double* rhs;
    const double* jacobian;
    std::ptrdiff_t pageEntries;
    std::ptrdiff_t slotEntries;  // Np*Nfield
    std::ptrdiff_t mask;         // slotCount - 1
    bool skipsZeroTerms;
};

// Asks for the cache lines the element pass of element k reads (its Jacobian)
// and writes (its columns of rhs), while its faces are being added.
KERNELS_EDGE_INLINE void fetchElement(std::ptrdiff_t Np, std::ptrdiff_t Nfield, const OpenElements& o,
                                      std::ptrdiff_t k) {
    for (std::ptrdiff_t i = 0; i < Np; i += 8) {
        KERNELS_EDGE_PREFETCH(o.jacobian + Np * k + i, 0);
        for (std::ptrdiff_t n = 0; n < Nfield; ++n) {
            KERNELS_EDGE_PREFETCH(o.rhs + o.pageEntries * n + Np * k + i, 1);
        }
    }
}

// The columns element k adds into. An element no face has touched yet takes its
// slot, zero-filled, moving the slot's holder out to rhs (which is still zero
// there, and whose sums, started from +0.0, are never -0.0, so the copy keeps
// every sum's bits); an element moved out stays in rhs.
KERNELS_EDGE_INLINE ElementColumns openElement(std::ptrdiff_t Np, std::ptrdiff_t Nfield, const EdgeScratch& scratch,
                                               const OpenElements& o, std::ptrdiff_t k) {
    const std::ptrdiff_t slot = k & o.mask;
    double* slotBase = scratch.slots + o.slotEntries * slot;
    const std::ptrdiff_t holder = scratch.slotOwner[slot];
    if (holder == k) {
        return {slotBase, Np};
    }
    if (scratch.movedOut[k]) {
        return {o.rhs + Np * k, o.pageEntries};
    }
    if (holder >= 0) {
        for (std::ptrdiff_t n = 0; n < Nfield; ++n) {
            std::memcpy(o.rhs + o.pageEntries * n + Np * holder, slotBase + Np * n,
                        static_cast<std::size_t>(Np) * sizeof(double));
        }
        scratch.movedOut[holder] = 1;
    }
    scratch.slotOwner[slot] = k;
    std::fill(slotBase, slotBase + o.slotEntries, 0.0);
    fetchElement(Np, Nfield, o, k);
    return {slotBase, Np};
}

// Elements whose faces are all added, waiting to be finished together; each
// keeps its slot until then, unless another element takes it (its sums are
// then in rhs).
struct FinishedElements {
    std::ptrdiff_t elements[kColumnsPerProduct];
    std::ptrdiff_t count;
};

// Element pass on finished elements: their column of every field becomes
// (inverseMassMatrix * column) ./ jacobian, in rhs, one product per field on
// the columns of all of them; the slots they held are freed.
template <int Lanes>
KERNELS_EDGE_INLINE void finishElements(const EdgeFaceSet& s, std::ptrdiff_t Np, const EdgeScratch& scratch,
                                        const OpenElements& o, const FinishedElements& finished) {
    const std::ptrdiff_t count = finished.count;
    ElementColumns from[kColumnsPerProduct];
    for (std::ptrdiff_t c = 0; c < count; ++c) {
        const std::ptrdiff_t k = finished.elements[c];
        const std::ptrdiff_t slot = k & o.mask;
        from[c] = {o.rhs + Np * k, o.pageEntries};
        if (scratch.slotOwner[slot] == k) {
            from[c] = {scratch.slots + o.slotEntries * slot, Np};
            scratch.slotOwner[slot] = -1;
        }
    }
    const std::ptrdiff_t ldy = (Np + Lanes - 1) / Lanes * Lanes;
    double* y = scratch.columns;
    std::ptrdiff_t* terms = scratch.terms;
    for (std::ptrdiff_t n = 0; n < s.Nfield; ++n) {
        const double* columns[kColumnsPerProduct];
        for (std::ptrdiff_t c = 0; c < count; ++c) {
            columns[c] = from[c].base + from[c].stride * n;
        }
        // The nodes that add to the sums: flagged node by node (a loop over
        // whole columns, in vectors), then listed. Small elements take every
        // node: listing them costs more than the zero terms it leaves out.
        std::ptrdiff_t termCount = Np;
        if (o.skipsZeroTerms && Np > kListedTermsFrom) {
            std::fill(terms, terms + Np, std::ptrdiff_t{0});
            for (std::ptrdiff_t c = 0; c < count; ++c) {
                const double* column = columns[c];
                for (std::ptrdiff_t j = 0; j < Np; ++j) {
                    terms[j] |= std::ptrdiff_t{column[j] != 0.0};
                }
            }
            termCount = 0;
            for (std::ptrdiff_t j = 0; j < Np; ++j) {
                const std::ptrdiff_t adds = terms[j];
                terms[termCount] = j;
                termCount += adds;
            }
        }
        if (count == kColumnsPerProduct && termCount == Np) {
            multiplyColumns<Lanes, kColumnsPerProduct, true>(Np, scratch.packedInverseMass, columns, terms,
                                                              termCount, y, ldy);
        } else if (count == kColumnsPerProduct) {
            multiplyColumns<Lanes, kColumnsPerProduct, false>(Np, scratch.packedInverseMass, columns, terms,
                                                               termCount, y, ldy);
        } else {
            for (std::ptrdiff_t c = 0; c < count; ++c) {
                if (termCount == Np) {
                    multiplyColumns<Lanes, 1, true>(Np, scratch.packedInverseMass, columns + c, terms, termCount,
                                                    y + c * ldy, ldy);
                } else {
                    multiplyColumns<Lanes, 1, false>(Np, scratch.packedInverseMass, columns + c, terms,
                                                     termCount, y + c * ldy, ldy);
                }
            }
        }
        for (std::ptrdiff_t c = 0; c < count; ++c) {
            const std::ptrdiff_t offset = Np * finished.elements[c];
            divideByJacobian(Np, y + c * ldy, s.jacobian + offset, o.rhs + o.pageEntries * n + offset);
        }
    }
}

template <int Lanes>
KERNELS_EDGE_INLINE void addFinished(const EdgeFaceSet& s, std::ptrdiff_t Np, const EdgeScratch& scratch,
                                     const OpenElements& o, FinishedElements& finished, std::ptrdiff_t element) {
    finished.elements[finished.count++] = element;
    if (finished.count == kColumnsPerProduct) {
        finishElements<Lanes>(s, Np, scratch, o, finished);
        finished.count = 0;
    }
}

// Face vectors of Fields field pages of one face: for each field g,
// cL(r, g) = sum over m of (faceMass(r, m)*w[m])*dL(m, g) and cA(r, g) = minus
// the same sum of dA, each from 0.0 with m increasing (the product with the
// face Jacobian formed first, then the product with the jump, then the add).
// dL, dA are Nfp x Fields; cL, cA have leading dimension ldc. A rule whose
// adjacent jump mirrors the local one forms cL only.
template <class Jump, int Lanes, int Fields, int Blocks>
KERNELS_EDGE_INLINE void faceVectorBlocks(std::ptrdiff_t Nfp, std::ptrdiff_t i0,
                                          const double* __restrict packedFaceMass, const double* __restrict w,
                                          const double* __restrict dL, const double* __restrict dA,
                                          double* __restrict cL, double* __restrict cA, std::ptrdiff_t ldc) {
    using V = typename VectorOf<Lanes>::type;
    V local[Blocks][Fields];
    V adjacent[Blocks][Fields];
    for (int b = 0; b < Blocks; ++b) {
        for (int g = 0; g < Fields; ++g) {
            local[b][g] = V{};
            adjacent[b][g] = V{};
        }
    }
    const double* a = packedFaceMass + i0 * Nfp * Lanes;
    for (std::ptrdiff_t m = 0; m < Nfp; ++m) {
        for (int b = 0; b < Blocks; ++b) {
            V column;
            std::memcpy(&column, a + (b * Nfp + m) * Lanes, sizeof column);
            const V weighted = column * w[m];
            for (int g = 0; g < Fields; ++g) {
                local[b][g] += weighted * dL[m + g * Nfp];
                if constexpr (!Jump::adjacentMirrorsLocal) {
                    adjacent[b][g] -= weighted * dA[m + g * Nfp];
                }
            }
        }
    }
    for (int b = 0; b < Blocks; ++b) {
        for (int g = 0; g < Fields; ++g) {
            std::memcpy(cL + g * ldc + (i0 + b) * Lanes, &local[b][g], sizeof(V));
            if constexpr (!Jump::adjacentMirrorsLocal) {
                std::memcpy(cA + g * ldc + (i0 + b) * Lanes, &adjacent[b][g], sizeof(V));
            }
        }
    }
}

// The face vectors of a face whose Lanes nodes fill one block of rows, with
// the jumps of all its nodes formed at once from the face's fluxes (fluxLocal,
// fluxAdjacent, numericalFlux at the face's first entry of page n0; pages
// faceEntries apart): the same sums as faceVectorBlocks.
template <class Jump, int Lanes, int Fields>
KERNELS_EDGE_INLINE void faceVectorsFromFluxes(const double* __restrict packedFaceMass, const double* __restrict w,
                                               const double* fL, const double* fA, const double* fN,
                                               std::ptrdiff_t faceEntries, double* __restrict cL,
                                               double* __restrict cA, std::ptrdiff_t ldc) {
    using V = typename VectorOf<Lanes>::type;
    V jumpL[Fields];
    V jumpA[Fields];
    for (int g = 0; g < Fields; ++g) {
        V fluxL, fluxA, fluxN = V{};
        std::memcpy(&fluxL, fL + faceEntries * g, sizeof fluxL);
        std::memcpy(&fluxA, fA + faceEntries * g, sizeof fluxA);
        if constexpr (Jump::readsNumericalFlux) {
            std::memcpy(&fluxN, fN + faceEntries * g, sizeof fluxN);
        }
        Jump::jumps(fluxL, fluxA, fluxN, jumpL[g], jumpA[g]);
    }
    V local[Fields];
    V adjacent[Fields];
    for (int g = 0; g < Fields; ++g) {
        local[g] = V{};
        adjacent[g] = V{};
    }
    for (int m = 0; m < Lanes; ++m) {
        V column;
        std::memcpy(&column, packedFaceMass + m * Lanes, sizeof column);
        const V weighted = column * w[m];
        for (int g = 0; g < Fields; ++g) {
            local[g] += weighted * jumpL[g][m];
            if constexpr (!Jump::adjacentMirrorsLocal) {
                adjacent[g] -= weighted * jumpA[g][m];
            }
        }
    }
    for (int g = 0; g < Fields; ++g) {
        std::memcpy(cL + g * ldc, &local[g], sizeof(V));
        if constexpr (!Jump::adjacentMirrorsLocal) {
            std::memcpy(cA + g * ldc, &adjacent[g], sizeof(V));
        }
    }
}

// The row blocks of the face, several per step: both sides' vectors of every
// field, summed over m.
template <class Jump, int Lanes, int Fields>
KERNELS_EDGE_INLINE void faceVectors(std::ptrdiff_t Nfp, const double* __restrict packedFaceMass,
                                     const double* __restrict w, const double* __restrict dL,
                                     const double* __restrict dA, double* __restrict cL, double* __restrict cA,
                                     std::ptrdiff_t ldc) {
    constexpr int perBlock = Jump::adjacentMirrorsLocal ? Fields : 2 * Fields;
    constexpr int Blocks = (kSumsInFlight + perBlock - 1) / perBlock;
    const std::ptrdiff_t blocks = (Nfp + Lanes - 1) / Lanes;
    std::ptrdiff_t i = 0;
    for (; i + Blocks <= blocks; i += Blocks) {
        faceVectorBlocks<Jump, Lanes, Fields, Blocks>(Nfp, i, packedFaceMass, w, dL, dA, cL, cA, ldc);
    }
    for (; i < blocks; ++i) {
        faceVectorBlocks<Jump, Lanes, Fields, 1>(Nfp, i, packedFaceMass, w, dL, dA, cL, cA, ldc);
    }
}

// Jumps of both sides at the nodes of one face, for `fields` field pages from
// offset g (face entries apart): dL, dA are Nfp x fields.
template <class Jump>
KERNELS_EDGE_INLINE void faceJumps(const EdgeFaceSet& s, std::ptrdiff_t Nfp, std::ptrdiff_t g, std::ptrdiff_t fields,
                                   double* __restrict dL, double* __restrict dA) {
    const std::ptrdiff_t faceEntries = Nfp * s.Nface;
    for (std::ptrdiff_t n = 0; n < fields; ++n) {
        const double* fL = s.fluxLocal + g + faceEntries * n;
        const double* fA = s.fluxAdjacent + g + faceEntries * n;
        const double* fN = Jump::readsNumericalFlux ? s.numericalFlux + g + faceEntries * n : nullptr;
        for (std::ptrdiff_t m = 0; m < Nfp; ++m) {
            const double numerical = Jump::readsNumericalFlux ? fN[m] : 0.0;
            double local, adjacent;
            Jump::jumps(fL[m], fA[m], numerical, local, adjacent);
            dL[m + Nfp * n] = local;
            if constexpr (!Jump::adjacentMirrorsLocal) {
                dA[m + Nfp * n] = adjacent;
            }
        }
    }
}

// The nodes face f adds to, inside their elements: the local side's Nfp
// nodes, then the adjacent side's.
KERNELS_EDGE_INLINE void locateFace(const EdgeFaceSet& s, std::ptrdiff_t Nfp, std::ptrdiff_t f,
                                    std::ptrdiff_t* __restrict nodes) {
    const std::ptrdiff_t g0 = Nfp * f;
    for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
        nodes[r] = toZeroBasedIndex(s.faceToNodeLocal[g0 + r]);
        nodes[Nfp + r] = toZeroBasedIndex(s.faceToNodeAdjacent[g0 + r]);
    }
}

// Asks for the cache lines of the inputs of face f: read in order, but from
// 3*Nfield + 4 places at once, more streams than the processor follows by
// itself.
template <class Jump>
KERNELS_EDGE_INLINE void fetchFaceInputs(const EdgeFaceSet& s, std::ptrdiff_t f) {
    const std::ptrdiff_t g0 = s.Nfp * f;
    const std::ptrdiff_t faceEntries = s.Nfp * s.Nface;
    KERNELS_EDGE_PREFETCH(s.faceToElement + 2 * f, 0);
    for (std::ptrdiff_t m = 0; m < s.Nfp; m += 8) {
        KERNELS_EDGE_PREFETCH(s.faceJacobian + g0 + m, 0);
        KERNELS_EDGE_PREFETCH(s.faceToNodeLocal + g0 + m, 0);
        KERNELS_EDGE_PREFETCH(s.faceToNodeAdjacent + g0 + m, 0);
        for (std::ptrdiff_t n = 0; n < s.Nfield; ++n) {
            const std::ptrdiff_t g = g0 + m + faceEntries * n;
            KERNELS_EDGE_PREFETCH(s.fluxLocal + g, 0);
            KERNELS_EDGE_PREFETCH(s.fluxAdjacent + g, 0);
            if constexpr (Jump::readsNumericalFlux) {
                KERNELS_EDGE_PREFETCH(s.numericalFlux + g, 0);
            }
        }
    }
}

// The face vectors of Fields field pages of one face added into the columns
// of its two elements: node r of the local side, then node r of the adjacent
// side, r increasing, the order in which entries shared by both sides (or by
// two faces) accumulate; the fields are disjoint and taken side by side.
template <int Fields>
KERNELS_EDGE_INLINE void scatterFace(std::ptrdiff_t Nfp, const std::ptrdiff_t* __restrict nodes,
                                     const double* cL, const double* cA, std::ptrdiff_t ldc,
                                     ElementColumns local, ElementColumns adjacent) {
    for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
        const std::ptrdiff_t nodeL = nodes[r], nodeA = nodes[Nfp + r];
        for (int g = 0; g < Fields; ++g) {
            local.base[local.stride * g + nodeL] += cL[r + ldc * g];
            adjacent.base[adjacent.stride * g + nodeA] += cA[r + ldc * g];
        }
    }
}

// Face vectors and their scatter, for Fields field pages from page n0.
// A face whose nodes fill exactly one block of rows (OneBlock) forms its jumps
// in registers; any other face has them in dL and dA already.
template <class Jump, int Lanes, int Fields, bool OneBlock>
KERNELS_EDGE_INLINE void addFaceFields(const EdgeFaceSet& s, std::ptrdiff_t Nfp, std::ptrdiff_t g,
                                       const double* __restrict packedFaceMass, const double* __restrict w,
                                       double* __restrict dL, double* __restrict dA, double* __restrict cL,
                                       double* __restrict cA, std::ptrdiff_t ldc,
                                       const std::ptrdiff_t* __restrict nodes, ElementColumns local,
                                       ElementColumns adjacent, std::ptrdiff_t n0) {
    if constexpr (OneBlock) {
        faceVectorsFromFluxes<Jump, Lanes, Fields>(
            packedFaceMass, w, s.fluxLocal + g, s.fluxAdjacent + g,
            Jump::readsNumericalFlux ? s.numericalFlux + g : nullptr, Nfp * s.Nface, cL, cA, ldc);
    } else {
        faceJumps<Jump>(s, Nfp, g, Fields, dL, dA);
        faceVectors<Jump, Lanes, Fields>(Nfp, packedFaceMass, w, dL, dA, cL, cA, ldc);
    }
    local.base += local.stride * n0;
    adjacent.base += adjacent.stride * n0;
    scatterFace<Fields>(Nfp, nodes, cL, cA, ldc, local, adjacent);
}

// The assembly. Face pass: every face adds its two face vectors into the
// element nodes it touches, faces in increasing order; entries of different
// fields are disjoint, so each entry still receives its contributions face by
// face as it would with one pass per field. Element pass: an element is
// finished as soon as its last face is added, while its sums are in cache;
// elements that no face touches are finished at the end.
template <class Jump, int FaceLanes, int ElementLanes, int FixedNp = 0, int FixedNfp = 0>
KERNELS_EDGE_INLINE void assembleWithLanes(const EdgeFaceSet& s, double* rhs, const EdgeScratch& scratch) {
    const std::ptrdiff_t Np = FixedNp > 0 ? FixedNp : s.Np;
    const std::ptrdiff_t Nfp = FixedNfp > 0 ? FixedNfp : s.Nfp;
    if (Np == 0 || s.K == 0 || s.Nfield == 0) {
        return;
    }
    packRows<ElementLanes>(Np, s.inverseMassMatrix, scratch.packedInverseMass);
    packRows<FaceLanes>(Nfp, s.faceMassMatrix, scratch.packedFaceMass);
    std::ptrdiff_t* lastFace = scratch.lastFace;
    // Elements: the last face that adds to each, -1 for none.
    std::fill(lastFace, lastFace + s.K, std::ptrdiff_t{-1});
    for (std::ptrdiff_t f = 0; f < s.Nface; ++f) {
        lastFace[toZeroBasedIndex(s.faceToElement[2 * f])] = f;
        lastFace[toZeroBasedIndex(s.faceToElement[2 * f + 1])] = f;
    }
    std::fill(scratch.slotOwner, scratch.slotOwner + scratch.slotCount, std::ptrdiff_t{-1});
    std::fill(scratch.movedOut, scratch.movedOut + s.K, static_cast<unsigned char>(0));
    OpenElements open{rhs, s.jacobian, Np * s.K, Np * s.Nfield, scratch.slotCount - 1, true};
    for (std::ptrdiff_t i = 0; i < Np * Np; ++i) {
        open.skipsZeroTerms &= std::abs(s.inverseMassMatrix[i]) <= DBL_MAX;
    }
    const std::ptrdiff_t ldc = (Nfp + FaceLanes - 1) / FaceLanes * FaceLanes;
    constexpr bool OneBlock = FixedNfp == FaceLanes;
    double* dL = scratch.jumps;
    double* dA = dL + kFieldsPerGroup * Nfp;
    double* cL = scratch.faceVectors;
    double* cA = Jump::adjacentMirrorsLocal ? cL : cL + kFieldsPerGroup * ldc;
    std::ptrdiff_t* nodes = scratch.nodes;
    FinishedElements finished;
    finished.count = 0;
    // Faces: fetch a face's inputs ahead, find this face's columns, then its
    // jumps, face vectors and scatter, a group of fields at a time; then its
    // elements if this was their last face.
    for (std::ptrdiff_t f = 0; f < s.Nface; ++f) {
        if (f + kFacesAhead < s.Nface) {
            fetchFaceInputs<Jump>(s, f + kFacesAhead);
        }
        const std::ptrdiff_t eL = toZeroBasedIndex(s.faceToElement[2 * f]);
        const std::ptrdiff_t eA = toZeroBasedIndex(s.faceToElement[2 * f + 1]);
        ElementColumns local = openElement(Np, s.Nfield, scratch, open, eL);
        const ElementColumns adjacent = openElement(Np, s.Nfield, scratch, open, eA);
        if (eA != eL && ((eA ^ eL) & open.mask) == 0) {
            local = openElement(Np, s.Nfield, scratch, open, eL);  // moved out by the adjacent element
        }
        locateFace(s, Nfp, f, nodes);
        const std::ptrdiff_t g0 = Nfp * f;
        for (std::ptrdiff_t n0 = 0; n0 < s.Nfield && Nfp > 0; n0 += kFieldsPerGroup) {
            const std::ptrdiff_t fields = std::min(kFieldsPerGroup, s.Nfield - n0);
            const std::ptrdiff_t g = g0 + Nfp * s.Nface * n0;
            const double* w = s.faceJacobian + g0;
            switch (fields) {
                case 4:
                    addFaceFields<Jump, FaceLanes, 4, OneBlock>(s, Nfp, g, scratch.packedFaceMass, w, dL, dA, cL,
                                                                cA, ldc, nodes, local, adjacent, n0);
                    break;
                case 3:
                    addFaceFields<Jump, FaceLanes, 3, OneBlock>(s, Nfp, g, scratch.packedFaceMass, w, dL, dA, cL,
                                                                cA, ldc, nodes, local, adjacent, n0);
                    break;
                case 2:
                    addFaceFields<Jump, FaceLanes, 2, OneBlock>(s, Nfp, g, scratch.packedFaceMass, w, dL, dA, cL,
                                                                cA, ldc, nodes, local, adjacent, n0);
                    break;
                default:
                    addFaceFields<Jump, FaceLanes, 1, OneBlock>(s, Nfp, g, scratch.packedFaceMass, w, dL, dA, cL,
                                                                cA, ldc, nodes, local, adjacent, n0);
                    break;
            }
        }
        if (lastFace[eL] == f) {
            addFinished<ElementLanes>(s, Np, scratch, open, finished, eL);
        }
        if (eA != eL && lastFace[eA] == f) {
            addFinished<ElementLanes>(s, Np, scratch, open, finished, eA);
        }
    }
    // Elements no face touches: zero columns in rhs.
    for (std::ptrdiff_t k = 0; k < s.K; ++k) {
        if (lastFace[k] < 0) {
            addFinished<ElementLanes>(s, Np, scratch, open, finished, k);
        }
    }
    finishElements<ElementLanes>(s, Np, scratch, open, finished);
}

// Both passes with vectors of at most Lanes doubles; a pass whose rows fill no
// more than half of such a vector uses vectors half as wide. FixedNp and
// FixedNfp (0: any) fix the sizes, so that the compiler lays out every loop
// over nodes for them.
template <class Jump, int Lanes, int FixedNp, int FixedNfp>
KERNELS_EDGE_INLINE void assembleFixed(const EdgeFaceSet& s, double* rhs, const EdgeScratch& scratch) {
    constexpr int Half = Lanes > 2 ? Lanes / 2 : Lanes;
    assembleWithLanes<Jump, FixedNfp <= Half ? Half : Lanes, FixedNp <= Half ? Half : Lanes, FixedNp, FixedNfp>(
        s, rhs, scratch);
}

// The linear prisms' fixed sizes are left out of sanitizer builds: there
// they would only triple the compile time of the edge units, and the general
// loops give the same bits.
#if defined(__SANITIZE_ADDRESS__)
#define KERNELS_EDGE_PRISM_SIZES 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KERNELS_EDGE_PRISM_SIZES 0
#endif
#endif
#ifndef KERNELS_EDGE_PRISM_SIZES
#define KERNELS_EDGE_PRISM_SIZES 1
#endif

// Fixed sizes for the elements solvers use most: triangles of order 3,
// prisms of order 6 with 3 layers of nodes, and the linear prisms of the
// layered 3d model; any other size takes the general loops, with the same
// bits.
template <class Jump, int Lanes>
KERNELS_EDGE_INLINE void assembleWith(const EdgeFaceSet& s, double* rhs, const EdgeScratch& scratch) {
    if (s.Np == 10 && s.Nfp == 4) {
        assembleFixed<Jump, Lanes, 10, 4>(s, rhs, scratch);
        return;
    }
    if (s.Np == 84 && s.Nfp == 28) {
        assembleFixed<Jump, Lanes, 84, 28>(s, rhs, scratch);
        return;
    }
#if KERNELS_EDGE_PRISM_SIZES
    // Prisms over linear triangles with 2 or 3 line nodes: their faces
    // between layers (Nfp 3) and their side faces (Nfp 4 or 6).
    if (s.Np == 6 && s.Nfp == 3) {
        assembleFixed<Jump, Lanes, 6, 3>(s, rhs, scratch);
        return;
    }
    if (s.Np == 6 && s.Nfp == 4) {
        assembleFixed<Jump, Lanes, 6, 4>(s, rhs, scratch);
        return;
    }
    if (s.Np == 9 && s.Nfp == 3) {
        assembleFixed<Jump, Lanes, 9, 3>(s, rhs, scratch);
        return;
    }
    if (s.Np == 9 && s.Nfp == 6) {
        assembleFixed<Jump, Lanes, 9, 6>(s, rhs, scratch);
        return;
    }
#endif
    if constexpr (Lanes > 2) {
        constexpr int Half = Lanes / 2;
        if (s.Nfp <= Half) {
            if (s.Np <= Half) {
                assembleWithLanes<Jump, Half, Half>(s, rhs, scratch);
            } else {
                assembleWithLanes<Jump, Half, Lanes>(s, rhs, scratch);
            }
        } else if (s.Np <= Half) {
            assembleWithLanes<Jump, Lanes, Half>(s, rhs, scratch);
        } else {
            assembleWithLanes<Jump, Lanes, Lanes>(s, rhs, scratch);
        }
    } else {
        assembleWithLanes<Jump, Lanes, Lanes>(s, rhs, scratch);
    }
}

template <class Jump>
void assembleBaseline(const EdgeFaceSet& s, double* rhs, const EdgeScratch& scratch) {
    assembleWith<Jump, kBaselineLanes>(s, rhs, scratch);
}

#if KERNELS_EDGE_WIDE_VECTORS
template <class Jump>
__attribute__((target("avx2"))) void assembleAvx2(const EdgeFaceSet& s, double* rhs, const EdgeScratch& scratch) {
    assembleWith<Jump, 4>(s, rhs, scratch);
}

template <class Jump>
__attribute__((target("avx512f"))) void assembleAvx512(const EdgeFaceSet& s, double* rhs,
                                                       const EdgeScratch& scratch) {
    assembleWith<Jump, 8>(s, rhs, scratch);
}
#endif

#undef KERNELS_EDGE_INLINE
#undef KERNELS_EDGE_PREFETCH

}  // namespace edge_detail

// The assemblies of the three widths are most of an edge module's compile
// time. A build may compile them as three units that build in parallel: the
// module's source compiled with KERNELS_EDGE_UNIT 0 (the entry point and the
// baseline assembly), 1 (the AVX2 assembly alone) and 2 (the AVX-512 assembly
// alone), the three objects linked into the module. Without KERNELS_EDGE_UNIT
// the source is one unit holding everything. Either way each width is the same
// code. The module names its jump rule, which must not be in an unnamed
// namespace, with KERNELS_EDGE_ASSEMBLY(rule); at global scope, and compiles
// its entry point only where KERNELS_EDGE_ENTRY_UNIT is 1.
#if !defined(KERNELS_EDGE_UNIT) || KERNELS_EDGE_UNIT == 0
#define KERNELS_EDGE_ENTRY_UNIT 1
#else
#define KERNELS_EDGE_ENTRY_UNIT 0
#endif
#define KERNELS_EDGE_WIDTH(Width, Jump) \
    void kernels::edge_detail::assemble##Width<Jump>(const kernels::EdgeFaceSet&, double*, const kernels::EdgeScratch&)
#if KERNELS_EDGE_WIDE_VECTORS && defined(KERNELS_EDGE_UNIT) && KERNELS_EDGE_UNIT == 0
#define KERNELS_EDGE_ASSEMBLY(Jump) \
    extern template KERNELS_EDGE_WIDTH(Avx2, Jump);  \
    extern template KERNELS_EDGE_WIDTH(Avx512, Jump)
#elif KERNELS_EDGE_WIDE_VECTORS && defined(KERNELS_EDGE_UNIT) && KERNELS_EDGE_UNIT == 1
#define KERNELS_EDGE_ASSEMBLY(Jump) template KERNELS_EDGE_WIDTH(Avx2, Jump)
#elif KERNELS_EDGE_WIDE_VECTORS && defined(KERNELS_EDGE_UNIT) && KERNELS_EDGE_UNIT == 2
#define KERNELS_EDGE_ASSEMBLY(Jump) template KERNELS_EDGE_WIDTH(Avx512, Jump)
#else
#define KERNELS_EDGE_ASSEMBLY(Jump) static_assert(true, "every width in this unit")
#endif

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
// pass, each element finished by the element pass once its last face is added,
// with vectors of the given width (which the processor must run). Every entry
// of rhs is written, with the same bits at every width.
template <class Jump>
void assembleEdgeRhs(const EdgeFaceSet& set, double* rhs, const EdgeScratch& scratch,
                     EdgeVectors width = widestEdgeVectors()) {
#if KERNELS_EDGE_WIDE_VECTORS
    if (width == EdgeVectors::Avx512) {
        edge_detail::assembleAvx512<Jump>(set, rhs, scratch);
        return;
    }
    if (width == EdgeVectors::Avx2) {
        edge_detail::assembleAvx2<Jump>(set, rhs, scratch);
        return;
    }
#endif
    (void)width;
    edge_detail::assembleBaseline<Jump>(set, rhs, scratch);
}

}  // namespace kernels
