// face_normal_vector: the outward unit normal of one element on one of its
// faces, and the face's per-node quantity, both at the face's first node. A
// face on the domain boundary (the element is its own neighbour) is looked up
// in the boundary-face tables, any other in the inner-face tables.
//
//   elementNormalX, elementNormalY, elementFaceScalar = face_normal_vector(
//       elementIndex, adjacentElementIndex, localFaceIndex, boundaryFaceToFace, boundaryNormalX,
//       boundaryNormalY, boundaryFaceToElement, normalX, normalY, faceToElement, boundaryFaceScalar, faceScalar)
//
//   elementIndex, adjacentElementIndex, localFaceIndex: scalars, 1-based
//   boundaryFaceToFace, boundaryFaceToElement: 2 x Nbe, row 1 read
//   boundaryNormalX, boundaryNormalY, boundaryFaceScalar: Nfpb x Nbe (Nfpb, Nbe from boundaryNormalX)
//   normalX, normalY, faceScalar: Nfp x Nface (Nfp, Nface from normalX)
//   faceToElement: 2 x Nface, local and adjacent element of each inner face
//   elementNormalX, elementNormalY, elementFaceScalar: scalars
//
// Numbers are compared for exact equality and the first matching face wins.
// Inner normals point outward from the local side, so an element on the
// adjacent side gets both components negated; the per-node quantity keeps its
// sign. When no face matches, no output is assigned.
#include <cmath>

#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("face_normal_vector");

// The first boundary face owned by element e whose local face number is l, or
// -1. Both tables are compared as stored.
std::ptrdiff_t findBoundaryFace(double e, double l, std::ptrdiff_t Nbe, const double* boundaryFaceToElement,
                                const double* boundaryFaceToFace) {
    // Boundary faces: owning element and local face number, rows 1 of the tables.
    for (std::ptrdiff_t b = 0; b < Nbe; ++b) {
        if (boundaryFaceToElement[2 * b] == e && boundaryFaceToFace[2 * b] == l) {
            return b;
        }
    }
    return -1;
}

struct InnerFaceMatch {
    std::ptrdiff_t face;  // -1 when no face joins the two elements
    bool adjacentSide;    // the element is in row 2 of faceToElement
};

// The first inner face joining elements e and a, with e on either side. The
// element numbers of faceToElement are truncated toward zero before the
// comparison (std::trunc, so that NaN and out-of-range entries simply match
// nothing).
InnerFaceMatch findInnerFace(double e, double a, std::ptrdiff_t Nface, const double* faceToElement) {
    // Inner faces: e on the local side with a adjacent, or the other way round.
    for (std::ptrdiff_t f = 0; f < Nface; ++f) {
        const double local = std::trunc(faceToElement[2 * f]);
        const double adjacent = std::trunc(faceToElement[2 * f + 1]);
        if (e == local && a == adjacent) {
            return InnerFaceMatch{f, false};
        }
        if (e == adjacent && a == local) {
            return InnerFaceMatch{f, true};
        }
    }
    return InnerFaceMatch{-1, false};
}

// A matched face is read at its first node, which a table of zero rows does
// not have.
void requireFirstNode(const Argument& normals, std::ptrdiff_t nodesPerFace, const char* nodesName,
                      std::ptrdiff_t face) {
    if (nodesPerFace < 1) {
        failCall(normals.module, "noFaceNode",
                 "Input %d (%s) has %s = %td rows; the matching face (column %td) has no first node to read.",
                 normals.position, normals.name, nodesName, nodesPerFace, face + 1);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs: the three numbers, then the boundary tables (extents from
    //    boundaryNormalX) and the inner tables (extents from normalX).
    const double e = readScalar(argument(kModule, prhs, 0, "elementIndex"));
    const double a = readScalar(argument(kModule, prhs, 1, "adjacentElementIndex"));
    const double l = readScalar(argument(kModule, prhs, 2, "localFaceIndex"));
    const Argument boundaryNormalX = argument(kModule, prhs, 4, "boundaryNormalX");
    const Argument normalX = argument(kModule, prhs, 7, "normalX");
    requireDoubleArray(boundaryNormalX);
    requireDoubleArray(normalX);
    const std::ptrdiff_t Nfpb = rows(prhs[4]);
    const std::ptrdiff_t Nbe = columns(prhs[4]);
    const std::ptrdiff_t Nfp = rows(prhs[7]);
    const std::ptrdiff_t Nface = columns(prhs[7]);
    const std::ptrdiff_t boundaryEntries = countProduct(boundaryNormalX, 2, Nbe, "2*Nbe");
    const std::ptrdiff_t faceEntries = countProduct(normalX, 2, Nface, "2*Nface");
    requireDoubles(argument(kModule, prhs, 3, "boundaryFaceToFace"), boundaryEntries, "2*Nbe");
    requireDoubles(argument(kModule, prhs, 5, "boundaryNormalY"), Nfpb * Nbe, "Nfpb*Nbe");
    requireDoubles(argument(kModule, prhs, 6, "boundaryFaceToElement"), boundaryEntries, "2*Nbe");
    requireDoubles(argument(kModule, prhs, 8, "normalY"), Nfp * Nface, "Nfp*Nface");
    requireDoubles(argument(kModule, prhs, 9, "faceToElement"), faceEntries, "2*Nface");
    requireDoubles(argument(kModule, prhs, 10, "boundaryFaceScalar"), Nfpb * Nbe, "Nfpb*Nbe");
    requireDoubles(argument(kModule, prhs, 11, "faceScalar"), Nfp * Nface, "Nfp*Nface");

    // 3. Search: a boundary face when the element is its own neighbour, else
    //    the inner face between the two. Without a match the call returns with
    //    no output assigned.
    double nx, ny, s;
    if (e == a) {
        const std::ptrdiff_t b = findBoundaryFace(e, l, Nbe, mxGetPr(prhs[6]), mxGetPr(prhs[3]));
        if (b < 0) {
            return;
        }
        requireFirstNode(boundaryNormalX, Nfpb, "Nfpb", b);
        nx = mxGetPr(prhs[4])[b * Nfpb];
        ny = mxGetPr(prhs[5])[b * Nfpb];
        s = mxGetPr(prhs[10])[b * Nfpb];
    } else {
        const InnerFaceMatch match = findInnerFace(e, a, Nface, mxGetPr(prhs[9]));
        if (match.face < 0) {
            return;
        }
        requireFirstNode(normalX, Nfp, "Nfp", match.face);
        const double storedX = mxGetPr(prhs[7])[match.face * Nfp];
        const double storedY = mxGetPr(prhs[8])[match.face * Nfp];
        // The stored normal points out of the local side.
        nx = match.adjacentSide ? -storedX : storedX;
        ny = match.adjacentSide ? -storedY : storedY;
        s = mxGetPr(prhs[11])[match.face * Nfp];
    }

    // 4. Outputs: three scalars, created from the found face, in order.
    plhs[0] = mxCreateDoubleScalar(nx);
    plhs[1] = mxCreateDoubleScalar(ny);
    plhs[2] = mxCreateDoubleScalar(s);
}
