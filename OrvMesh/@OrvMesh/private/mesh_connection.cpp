// mesh_connection: connects the boundary faces of a local mesh to the faces of
// an adjacent mesh that share their two end vertices.
//
//   [faceMeshId, elementToElement, elementToFace] = mesh_connection(localMeshId, adjacentMeshId,
//       elementCount, adjacentElementCount, facesPerElement, adjacentFacesPerElement, faceVertexIndex,
//       adjacentFaceVertexIndex, elementToVertex, adjacentElementToVertex, ~, elementToElement, elementToFace)
//
//   localMeshId, adjacentMeshId: scalars, the mesh ids written to faceMeshId
//   elementCount (K), adjacentElementCount (K2), facesPerElement (Nf), adjacentFacesPerElement (Nf2):
//                             scalars, truncated toward zero
//   faceVertexIndex:          2 x Nf, 1-based local vertex numbers (1..Nv) of the end vertices of each face
//   adjacentFaceVertexIndex:  2 x Nf2, the same for the adjacent mesh (1..Nv2)
//   elementToVertex:          Nv x K, global vertex id of each vertex (truncated toward zero)
//   adjacentElementToVertex:  Nv2 x K2
//   input 10:                 not read
//   elementToElement:         Nf x K, 1-based neighbour across each face; the element itself on a boundary face
//   elementToFace:            Nf x K, 1-based face number within that neighbour
//   outputs:                  Nf x K each: faceMeshId, and elementToElement and elementToFace updated
//
// A boundary face whose pair of vertex ids, in either order, is the pair of some
// face of the adjacent mesh is connected to the last such face in scan order
// (adjacent elements in turn, faces within an element in turn) and gets
// adjacentMeshId; every other face keeps its input entries and localMeshId.
//
// The search goes through an index of the local boundary faces, filled before
// one pass over the adjacent faces in scan order, so that the call costs
// O(K*Nf + K2*Nf2) instead of one comparison per pair of a boundary face and an
// adjacent face, with scratch that grows with the boundary only. When the
// larger vertex ids of the boundary faces span a range not much wider than
// their number (a mesh with most of its faces on the boundary), the index is a
// bucket per vertex id in that range: meshes number their vertices with some
// locality, and the buckets are then visited almost in order. Otherwise it is
// a hash table keyed by the vertex pair.
#include <algorithm>
#include <cstdint>

#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("mesh_connection");

// A face is a boundary face when its neighbour, truncated, is its own element
// k: k+1 <= value < k+2. Compared as doubles, so that NaN, infinite and huge
// values simply do not match.
inline bool isOwnElement(double neighbour, std::ptrdiff_t k) {
    const double self = static_cast<double>(k + 1);
    return neighbour >= self && neighbour < self + 1.0;
}

// A vertex id is finite and fits in 32 bits once truncated toward zero.
inline bool isVertexId(double value) {
    return value > -2147483649.0 && value < 2147483648.0;
}

// A local vertex number, truncated, lies in 1..Nv.
inline bool isVertexNumber(double value, std::ptrdiff_t Nv) {
    return value >= 1.0 && value < static_cast<double>(Nv) + 1.0;
}

// The key of a face: its two truncated vertex ids, larger in the high half, so
// that the orientation of the face does not matter.
inline std::uint64_t faceKey(double first, double second) {
    const std::int32_t a = static_cast<std::int32_t>(first);
    const std::int32_t b = static_cast<std::int32_t>(second);
    const std::int32_t hi = a > b ? a : b;
    const std::int32_t lo = a > b ? b : a;
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(hi)) << 32) | static_cast<std::uint32_t>(lo);
}

// Open-addressing table of the keys of the local boundary faces, each with the
// last adjacent face found so far that carries it. A slot's state is 0 when it
// is empty, 1 for a key without an adjacent face, and 2 + f for adjacent face f
// (k2*Nf2 + j2). A bit filter, 16 bits per slot, lets most adjacent faces
// (those on no boundary) pass without probing the table. Storage is host
// scratch, reclaimed when the call ends.
struct Slot {
    std::uint64_t key;
    std::uint64_t state;
};

struct FaceIndex {
    std::uint64_t slotMask = 0;  // slots - 1, slots a power of two
    std::uint64_t bitMask = 0;   // filter bits - 1
    Slot* slots = nullptr;
    std::uint64_t* filter = nullptr;
};

constexpr std::uint64_t kNoFace = 1;

// All bits of a key mixed: vertex ids of a mesh are often consecutive. The low
// bits choose the slot, the high bits the filter bit.
inline std::uint64_t mixKey(std::uint64_t key) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    key *= 0xc4ceb9fe1a85ec53ULL;
    key ^= key >> 33;
    return key;
}

inline std::uint64_t filterBit(const FaceIndex& index, std::uint64_t mixed) {
    return ((mixed >> 32) | (mixed << 32)) & index.bitMask;
}

// Whether the key may be in the table: false for most keys that are not.
inline bool mayHold(const FaceIndex& index, std::uint64_t mixed) {
    const std::uint64_t bit = filterBit(index, mixed);
    return (index.filter[bit >> 6] >> (bit & 63)) & 1;
}

// The slot holding `key`, or the empty slot where it would go.
inline std::uint64_t slotOf(const FaceIndex& index, std::uint64_t key, std::uint64_t mixed) {
    std::uint64_t s = mixed & index.slotMask;
    while (index.slots[s].state != 0 && index.slots[s].key != key) {
        s = (s + 1) & index.slotMask;
    }
    return s;
}

// One mesh as the connection reads it: extents and the column-major tables.
struct MeshView {
    std::ptrdiff_t K;
    std::ptrdiff_t Nf;
    std::ptrdiff_t Nv;
    const double* faceVertexIndex;  // 2 x Nf
    const double* elementToVertex;  // Nv x K
};

// The key of face j of element k. Vertex numbers and ids are known valid.
inline std::uint64_t keyOfFace(const MeshView& mesh, std::ptrdiff_t k, std::ptrdiff_t j) {
    const double* vertices = mesh.elementToVertex + mesh.Nv * k;
    return faceKey(vertices[toZeroBasedIndex(mesh.faceVertexIndex[2 * j])],
                   vertices[toZeroBasedIndex(mesh.faceVertexIndex[2 * j + 1])]);
}

// The keys of the local boundary faces.
void indexBoundaryFaces(const MeshView& local, const double* elementToElement, const FaceIndex& index) {
    for (std::ptrdiff_t k = 0; k < local.K; ++k) {
        for (std::ptrdiff_t j = 0; j < local.Nf; ++j) {
            if (isOwnElement(elementToElement[local.Nf * k + j], k)) {
                const std::uint64_t key = keyOfFace(local, k, j);
                const std::uint64_t mixed = mixKey(key);
                const std::uint64_t s = slotOf(index, key, mixed);
                index.slots[s] = Slot{key, kNoFace};
                const std::uint64_t bit = filterBit(index, mixed);
                index.filter[bit >> 6] |= std::uint64_t{1} << (bit & 63);
            }
        }
    }
}

// Adjacent faces in scan order: a face whose pair is the key of a boundary face
// replaces the face recorded there, so every key ends with its last match.
void findAdjacentFaces(const MeshView& adjacent, const FaceIndex& index) {
    for (std::ptrdiff_t k2 = 0; k2 < adjacent.K; ++k2) {
        for (std::ptrdiff_t j2 = 0; j2 < adjacent.Nf; ++j2) {
            const std::uint64_t key = keyOfFace(adjacent, k2, j2);
            const std::uint64_t mixed = mixKey(key);
            if (!mayHold(index, mixed)) {
                continue;
            }
            const std::uint64_t s = slotOf(index, key, mixed);
            if (index.slots[s].state != 0) {
                index.slots[s].state = static_cast<std::uint64_t>(2 + adjacent.Nf * k2 + j2);
            }
        }
    }
}

// Every face of the local mesh: the input entries and localMeshId, then, on a
// boundary face with a matching adjacent face, that element, face and
// adjacentMeshId.
void connectBoundaryFaces(double localMeshId, double adjacentMeshId, const MeshView& local, std::ptrdiff_t Nf2,
                          const FaceIndex& index, const double* elementToElement, const double* elementToFace,
                          double* faceMeshId, double* connectedElement, double* connectedFace) {
    for (std::ptrdiff_t k = 0; k < local.K; ++k) {
        for (std::ptrdiff_t j = 0; j < local.Nf; ++j) {
            const std::ptrdiff_t i = local.Nf * k + j;
            faceMeshId[i] = localMeshId;
            connectedElement[i] = elementToElement[i];
            connectedFace[i] = elementToFace[i];
            if (index.slots == nullptr || !isOwnElement(elementToElement[i], k)) {
                continue;
            }
            const std::uint64_t key = keyOfFace(local, k, j);
            const std::uint64_t found = index.slots[slotOf(index, key, mixKey(key))].state;
            if (found == kNoFace) {
                continue;
            }
            const std::ptrdiff_t face = static_cast<std::ptrdiff_t>(found) - 2;
            faceMeshId[i] = adjacentMeshId;
            connectedElement[i] = static_cast<double>(face / Nf2 + 1);
            connectedFace[i] = static_cast<double>(face % Nf2 + 1);
        }
    }
}

// Local boundary faces grouped by the larger vertex id of their pair: bucket b
// (vertex id lowest + b) holds entries start[b] .. start[b+1]-1, each with the
// smaller vertex id and the face (Nf*k + j). Storage is host scratch.
struct BoundaryEntry {
    std::int32_t lo;
    std::int32_t face;
};

struct VertexBuckets {
    std::int64_t lowest = 0;
    std::int64_t count = 0;
    std::int32_t* start = nullptr;  // count + 2 entries
    BoundaryEntry* entries = nullptr;
};

// Whether buckets suit the boundary: vertex ids lowest..highest for `faces`
// boundary faces, and face numbers that fit the entries.
bool bucketsSuit(std::int64_t lowest, std::int64_t highest, std::ptrdiff_t faces, std::ptrdiff_t localFaces) {
    return localFaces < 2147483647 && highest - lowest < 4 * static_cast<std::int64_t>(faces) + 1024;
}

inline std::int32_t higherOf(std::uint64_t key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key >> 32));
}

inline std::int32_t lowerOf(std::uint64_t key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
}

// Boundary faces that share a vertex id, at most, for buckets to be searched:
// every adjacent face with that id scans the bucket.
constexpr std::int32_t kMaxBucket = 64;

// Counts the boundary faces per bucket (two places on); returns the largest
// count.
std::int32_t countBuckets(const MeshView& local, const double* elementToElement, const VertexBuckets& buckets) {
    for (std::ptrdiff_t k = 0; k < local.K; ++k) {
        for (std::ptrdiff_t j = 0; j < local.Nf; ++j) {
            if (isOwnElement(elementToElement[local.Nf * k + j], k)) {
                ++buckets.start[higherOf(keyOfFace(local, k, j)) - buckets.lowest + 2];
            }
        }
    }
    std::int32_t largest = 0;
    for (std::int64_t b = 2; b < buckets.count + 2; ++b) {
        largest = std::max(largest, buckets.start[b]);
    }
    return largest;
}

// Places the counted boundary faces, faces in order.
void fillBuckets(const MeshView& local, const double* elementToElement, const VertexBuckets& buckets) {
    // Buckets: where each one's entries begin, shifted by one place.
    for (std::int64_t b = 2; b < buckets.count + 2; ++b) {
        buckets.start[b] += buckets.start[b - 1];
    }
    // Boundary faces: their entry at the end of their bucket so far.
    for (std::ptrdiff_t k = 0; k < local.K; ++k) {
        for (std::ptrdiff_t j = 0; j < local.Nf; ++j) {
            if (isOwnElement(elementToElement[local.Nf * k + j], k)) {
                const std::uint64_t key = keyOfFace(local, k, j);
                const std::int32_t at = buckets.start[higherOf(key) - buckets.lowest + 1]++;
                buckets.entries[at] = BoundaryEntry{lowerOf(key), static_cast<std::int32_t>(local.Nf * k + j)};
            }
        }
    }
}

// Adjacent faces in scan order: every boundary face with the same vertex pair
// is connected to the face, so each ends connected to its last match.
void connectThroughBuckets(double adjacentMeshId, const MeshView& adjacent, const VertexBuckets& buckets,
                           double* faceMeshId, double* connectedElement, double* connectedFace) {
    for (std::ptrdiff_t k2 = 0; k2 < adjacent.K; ++k2) {
        for (std::ptrdiff_t j2 = 0; j2 < adjacent.Nf; ++j2) {
            const std::uint64_t key = keyOfFace(adjacent, k2, j2);
            const std::uint64_t b = static_cast<std::uint64_t>(higherOf(key) - buckets.lowest);
            if (b >= static_cast<std::uint64_t>(buckets.count)) {
                continue;
            }
            const std::int32_t lo = lowerOf(key);
            for (std::int32_t e = buckets.start[b]; e < buckets.start[b + 1]; ++e) {
                if (buckets.entries[e].lo == lo) {
                    const std::int32_t i = buckets.entries[e].face;
                    faceMeshId[i] = adjacentMeshId;
                    connectedElement[i] = static_cast<double>(k2 + 1);
                    connectedFace[i] = static_cast<double>(j2 + 1);
                }
            }
        }
    }
}

// An extent given as a scalar: finite, not negative and below 2^31, truncated.
std::ptrdiff_t readExtent(const Argument& arg) {
    const double value = readScalar(arg);
    if (!(value >= 0.0 && value < 2147483648.0)) {
        failCall(kModule, "invalidExtent", "Input %d (%s) holds %.17g; it must be a finite count in 0..2147483647.",
                 arg.position, arg.name, value);
    }
    return static_cast<std::ptrdiff_t>(value);
}

// rows * columns, saturated, for element counts that the arrays must reach.
std::ptrdiff_t entriesNeeded(std::ptrdiff_t rows, std::ptrdiff_t columns) {
    return columns != 0 && rows > PTRDIFF_MAX / columns ? PTRDIFF_MAX : rows * columns;
}

// Whether the vertex numbers and the vertex ids read for face j of element k
// are valid.
inline bool isReadableFace(const MeshView& mesh, std::ptrdiff_t k, std::ptrdiff_t j) {
    const double first = mesh.faceVertexIndex[2 * j];
    const double second = mesh.faceVertexIndex[2 * j + 1];
    if (!isVertexNumber(first, mesh.Nv) || !isVertexNumber(second, mesh.Nv)) {
        return false;
    }
    const double* vertices = mesh.elementToVertex + mesh.Nv * k;
    return isVertexId(vertices[toZeroBasedIndex(first)]) && isVertexId(vertices[toZeroBasedIndex(second)]);
}

// Whether all n values are vertex ids; one sweep without early exit.
bool allVertexIds(const double* __restrict values, std::ptrdiff_t n) {
    bool all = true;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        all &= (values[i] > -2147483649.0) & (values[i] < 2147483648.0);
    }
    return all;
}

// Whether every face of every element is readable, judged in one sweep over
// all vertex numbers and all vertex ids. When the sweep finds a bad value the
// caller checks face by face: a vertex that ends no face is never read.
bool allFacesReadable(const MeshView& mesh) {
    for (std::ptrdiff_t n = 0; n < 2 * mesh.Nf; ++n) {
        if (!isVertexNumber(mesh.faceVertexIndex[n], mesh.Nv)) {
            return false;
        }
    }
    return allVertexIds(mesh.elementToVertex, mesh.Nv * mesh.K);
}

// Ends the call on face j of element k, which is not readable.
[[noreturn]] void failOnFace(const MeshView& mesh, const Argument& faceVertexArg, const Argument& vertexArg,
                             const char* nvName, std::ptrdiff_t k, std::ptrdiff_t j) {
    requireIndices(faceVertexArg, 2, 1, 2 * j, mesh.Nv, nvName);
    for (std::ptrdiff_t end = 0; end < 2; ++end) {
        const std::ptrdiff_t offset = mesh.Nv * k + toZeroBasedIndex(mesh.faceVertexIndex[2 * j + end]);
        const double value = mesh.elementToVertex[offset];
        if (!isVertexId(value)) {
            failCall(kModule, "invalidVertexId",
                     "Input %d (%s) entry %td holds %.17g, which is not a vertex id (finite, and in "
                     "-2147483648..2147483647 once truncated).",
                     vertexArg.position, vertexArg.name, offset + 1, value);
        }
    }
    failCall(kModule, "invalidVertexId", "Face %td of element %td cannot be read.", j + 1, k + 1);
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const double localMeshId = readScalar(argument(kModule, prhs, 0, "localMeshId"));
    const double adjacentMeshId = readScalar(argument(kModule, prhs, 1, "adjacentMeshId"));
    const std::ptrdiff_t K = readExtent(argument(kModule, prhs, 2, "elementCount"));
    const std::ptrdiff_t K2 = readExtent(argument(kModule, prhs, 3, "adjacentElementCount"));
    const std::ptrdiff_t Nf = readExtent(argument(kModule, prhs, 4, "facesPerElement"));
    const std::ptrdiff_t Nf2 = readExtent(argument(kModule, prhs, 5, "adjacentFacesPerElement"));
    const Argument faceVertexArg = argument(kModule, prhs, 6, "faceVertexIndex");
    const Argument adjacentFaceVertexArg = argument(kModule, prhs, 7, "adjacentFaceVertexIndex");
    const Argument vertexArg = argument(kModule, prhs, 8, "elementToVertex");
    const Argument adjacentVertexArg = argument(kModule, prhs, 9, "adjacentElementToVertex");
    const Argument elementArg = argument(kModule, prhs, 11, "elementToElement");
    const Argument faceArg = argument(kModule, prhs, 12, "elementToFace");
    requireDoubles(faceVertexArg, 2 * Nf, "2*Nf");
    requireDoubles(adjacentFaceVertexArg, 2 * Nf2, "2*Nf2");
    requireDoubleArray(vertexArg);
    requireDoubleArray(adjacentVertexArg);
    const std::ptrdiff_t Nv = rows(prhs[8]);
    const std::ptrdiff_t Nv2 = rows(prhs[9]);
    requireElements(vertexArg, entriesNeeded(Nv, K), "Nv*K");
    requireElements(adjacentVertexArg, entriesNeeded(Nv2, K2), "Nv2*K2");
    requireDoubles(elementArg, Nf * K, "Nf*K");
    requireDoubles(faceArg, Nf * K, "Nf*K");
    // Elements without faces have nothing to scan, however many there are.
    const std::ptrdiff_t scannedK = Nf > 0 ? K : 0;
    const MeshView local{scannedK, Nf, Nv, mxGetPr(prhs[6]), mxGetPr(prhs[8])};
    const MeshView adjacent{K2, Nf2, Nv2, mxGetPr(prhs[7]), mxGetPr(prhs[9])};
    const double* elementToElement = mxGetPr(prhs[11]);
    const double* elementToFace = mxGetPr(prhs[12]);

    // Vertex numbers and ids are checked where they are read: on the local
    // boundary faces, and on every adjacent face once there is a boundary face.
    // The range of the boundary faces' larger vertex ids is noted on the way.
    std::ptrdiff_t boundaryFaces = 0;
    std::int64_t lowest = INT32_MAX;
    std::int64_t highest = INT32_MIN;
    for (std::ptrdiff_t k = 0; k < scannedK; ++k) {
        for (std::ptrdiff_t j = 0; j < Nf; ++j) {
            if (isOwnElement(elementToElement[Nf * k + j], k)) {
                if (!isReadableFace(local, k, j)) {
                    failOnFace(local, faceVertexArg, vertexArg, "Nv", k, j);
                }
                ++boundaryFaces;
                const std::int64_t hi = higherOf(keyOfFace(local, k, j));
                lowest = std::min(lowest, hi);
                highest = std::max(highest, hi);
            }
        }
    }
    const bool searchAdjacent = boundaryFaces > 0 && K2 * Nf2 > 0;
    if (searchAdjacent && !allFacesReadable(adjacent)) {
        for (std::ptrdiff_t k2 = 0; k2 < K2; ++k2) {
            for (std::ptrdiff_t j2 = 0; j2 < Nf2; ++j2) {
                if (!isReadableFace(adjacent, k2, j2)) {
                    failOnFace(adjacent, adjacentFaceVertexArg, adjacentVertexArg, "Nv2", k2, j2);
                }
            }
        }
    }

    // 3. Outputs: Nf x K each.
    const mwSize dims[2] = {static_cast<mwSize>(Nf), static_cast<mwSize>(K)};
    for (int out = 0; out < 3; ++out) {
        plhs[out] = mxCreateNumericArray(2, dims, mxDOUBLE_CLASS, mxREAL);
    }

    // 4. Connection. Buckets: every local face as given, then the adjacent faces
    // connect the boundary faces they match.
    double* faceMeshId = mxGetPr(plhs[0]);
    double* connectedElement = mxGetPr(plhs[1]);
    double* connectedFace = mxGetPr(plhs[2]);
    FaceIndex index;
    VertexBuckets buckets;
    if (searchAdjacent && bucketsSuit(lowest, highest, boundaryFaces, Nf * K)) {
        buckets.lowest = lowest;
        buckets.count = highest - lowest + 1;
        buckets.start = static_cast<std::int32_t*>(mxCalloc(static_cast<std::size_t>(buckets.count + 2), 4));
    }
    if (buckets.start != nullptr && countBuckets(local, elementToElement, buckets) <= kMaxBucket) {
        buckets.entries =
            static_cast<BoundaryEntry*>(mxMalloc(static_cast<std::size_t>(boundaryFaces) * sizeof(BoundaryEntry)));
        fillBuckets(local, elementToElement, buckets);
        connectBoundaryFaces(localMeshId, adjacentMeshId, local, Nf2, index, elementToElement, elementToFace,
                             faceMeshId, connectedElement, connectedFace);
        connectThroughBuckets(adjacentMeshId, adjacent, buckets, faceMeshId, connectedElement, connectedFace);
        return;
    }
    // Hash table (also when a vertex id ends too many boundary faces): the keys
    // of the boundary faces, the last adjacent face of each, then every local
    // face.
    if (searchAdjacent) {
        // At most three quarters of the slots are filled; fewer when boundary
        // faces share keys.
        std::uint64_t slots = 64;
        while (3 * slots < 4 * static_cast<std::uint64_t>(boundaryFaces)) {
            slots *= 2;
        }
        index.slotMask = slots - 1;
        index.bitMask = 16 * slots - 1;
        index.slots = static_cast<Slot*>(mxCalloc(slots, sizeof(Slot)));
        index.filter = static_cast<std::uint64_t*>(mxCalloc(slots / 4, sizeof(std::uint64_t)));
        indexBoundaryFaces(local, elementToElement, index);
        findAdjacentFaces(adjacent, index);
    }
    connectBoundaryFaces(localMeshId, adjacentMeshId, local, Nf2, index, elementToElement, elementToFace,
                         faceMeshId, connectedElement, connectedFace);
}
