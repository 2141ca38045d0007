// Types and per-node functions shared by the kernels: the per-element wet/dry
// status, the view of a field array's pages, the conversion of MATLAB indices,
// the velocity of a node from its discharges, and the marker of faces that
// touch a non-wet element.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host_interface.hpp"

namespace kernels {

// Wet/dry status of an element, one signed byte per element in cellStatus.
// No other code is tested by any kernel.
enum class CellStatus : std::int8_t {
    Wet = 4,           // the only status counted as wet by markNonWetFaces
    Dry = 5,           // skipped by the volume fluxes, left out of the time step
    PressureFree = 7,  // volume fluxes evaluated with gravity 0
};

constexpr bool hasStatus(std::int8_t code, CellStatus status) {
    return code == static_cast<std::int8_t>(status);
}

// The status bytes of a cellStatus input.
inline const std::int8_t* statusBytes(const mxArray* array) {
    return static_cast<const std::int8_t*>(mxGetData(array));
}

// A 1-based MATLAB index stored as a double, truncated toward zero and made
// 0-based. Callers have checked the range (requireIndices).
inline std::ptrdiff_t toZeroBasedIndex(double value) {
    return static_cast<std::ptrdiff_t>(value) - 1;
}

// Non-owning view of a field array Np x K x Nfield: extents and the start of
// each page, page p at data + p*(Np*K). Pages the array does not have are null,
// and kernels touch only the pages their array has.
template <int MaxPages>
struct FieldPageView {
    std::ptrdiff_t Np;
    std::ptrdiff_t K;
    double* page[MaxPages];
};

using FieldPageView2d = FieldPageView<4>;  // h, hu, hv, z (2d and 3d)
using FieldPageView1d = FieldPageView<3>;  // h, hu, z (1d)

template <int MaxPages>
FieldPageView<MaxPages> bindPages(const mxArray* array) {
    const mwSize* dims = mxGetDimensions(array);
    const std::ptrdiff_t ndim = static_cast<std::ptrdiff_t>(mxGetNumberOfDimensions(array));
    FieldPageView<MaxPages> view;
    view.Np = static_cast<std::ptrdiff_t>(dims[0]);
    view.K = ndim > 1 ? static_cast<std::ptrdiff_t>(dims[1]) : 1;
    std::ptrdiff_t pages = 1;
    for (std::ptrdiff_t d = 2; d < ndim; ++d) {
        pages *= static_cast<std::ptrdiff_t>(dims[d]);
    }
    // The entries of a page first: Np*K is within what the extent checks
    // allow, and p*(Np*K) for a page the array has within its element count;
    // p*Np alone overflows for an empty array whose first extent is 2^62 or
    // more (an output made with the extents of such an input).
    const std::ptrdiff_t pageEntries = view.Np * view.K;
    double* data = mxGetPr(array);
    for (int p = 0; p < MaxPages; ++p) {
        view.page[p] = p < pages ? data + p * pageEntries : nullptr;
    }
    return view;
}

inline FieldPageView2d bindFieldPages(const mxArray* array) {
    return bindPages<4>(array);
}

inline FieldPageView1d bindFieldPages1d(const mxArray* array) {
    return bindPages<3>(array);
}

struct Velocity {
    double u;
    double v;
};

// Velocity of a node: the discharges over the depth where h > dryThreshold
// (strictly; NaN on either side counts as not above), else zero. Both
// quotients are formed and the result selected, so that loops over nodes
// vectorise; the discarded quotient of a dry node never reaches the result.
inline Velocity velocityFromDischarge(double dryThreshold, double h, double hu, double hv) {
    const bool wet = h > dryThreshold;
    const double u = hu / h;
    const double v = hv / h;
    return Velocity{wet ? u : 0.0, wet ? v : 0.0};
}

inline double velocityFromDischarge1d(double dryThreshold, double h, double hu) {
    const bool wet = h > dryThreshold;
    const double u = hu / h;
    return wet ? u : 0.0;
}

// Sets faceMarker[f] = 1.0 for every face f whose local or adjacent element
// (rows 1 and 2 of faceToElement, 1-based) is not Wet; other entries keep their
// value, so a zero-filled marker reads 0.0 on faces between two wet elements.
// The caller has checked the element numbers against cellStatus.
inline void markNonWetFaces(const std::int8_t* cellStatus, const double* faceToElement, std::ptrdiff_t Nface,
                            double* faceMarker) {
    for (std::ptrdiff_t f = 0; f < Nface; ++f) {
        const std::int8_t local = cellStatus[toZeroBasedIndex(faceToElement[2 * f])];
        const std::int8_t adjacent = cellStatus[toZeroBasedIndex(faceToElement[2 * f + 1])];
        if (!hasStatus(local, CellStatus::Wet) || !hasStatus(adjacent, CellStatus::Wet)) {
            faceMarker[f] = 1.0;
        }
    }
}

}  // namespace kernels
