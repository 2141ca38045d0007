// What the face kernels that skip faces touching a non-wet element share: the
// checked status and face-to-element inputs, and the runs of consecutive faces
// between two wet elements in a marker filled by markNonWetFaces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gateway.hpp"
#include "host_interface.hpp"
#include "kernel_types.hpp"

namespace kernels {

// cellStatus (one byte per element) and faceToElement (2 x Nface, 1-based).
struct FaceElements {
    const std::int8_t* cellStatus;
    const double* faceToElement;
    std::ptrdiff_t K;  // elements: the bytes of cellStatus
};

// Checks and binds the two inputs that markNonWetFaces reads for Nface faces:
// cellStatus a full array, read byte by byte, whose bytes give K; faceToElement
// a full double array of at least 2*Nface entries, each of which (rows 1 and 2
// of every face, truncated toward zero) names an element in 1..K.
inline FaceElements bindFaceElements(const Argument& cellStatus, const Argument& faceToElement,
                                     std::ptrdiff_t Nface) {
    const std::ptrdiff_t K = requireBytes(cellStatus, 0, "K");
    const std::ptrdiff_t entries = countProduct(faceToElement, 2, Nface, "2*Nface");
    requireDoubles(faceToElement, entries, "2*Nface");
    // Rows 1 and 2 of the first Nface columns are the first 2*Nface entries.
    requireIndices(faceToElement, entries, 1, 0, K, "K");
    return FaceElements{statusBytes(cellStatus.array), mxGetPr(faceToElement.array), K};
}

// Checks and binds `count` per-node inputs at positions first .. first+count-1,
// named by names[]: full double arrays of at least Nfp*Nface entries each,
// read with the same linear index as the first of them.
inline void bindNodeInputs(const ModuleSignature& module, const mxArray* const prhs[], int first, int count,
                           const char* const names[], std::ptrdiff_t Nfp, std::ptrdiff_t Nface,
                           const double* data[]) {
    for (int a = 0; a < count; ++a) {
        requireDoubles(argument(module, prhs, first + a, names[a]), Nfp * Nface, "Nfp*Nface");
        data[a] = mxGetPr(prhs[first + a]);
    }
}

// Faces first .. last-1.
struct FaceRun {
    std::ptrdiff_t first;
    std::ptrdiff_t last;
};

// The next run of consecutive faces, from face `from` on, whose marker is not
// 1.0, i.e. faces between two wet elements. When none is left the run is empty
// and starts at Nface.
inline FaceRun nextWetFaceRun(const double* faceMarker, std::ptrdiff_t Nface, std::ptrdiff_t from) {
    std::ptrdiff_t first = from;
    while (first < Nface && faceMarker[first] == 1.0) {
        ++first;
    }
    std::ptrdiff_t last = first;
    while (last < Nface && faceMarker[last] != 1.0) {
        ++last;
    }
    return FaceRun{first, last};
}

}  // namespace kernels
