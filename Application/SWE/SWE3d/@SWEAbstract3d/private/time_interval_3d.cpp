// time_interval_3d: the stable time step of the 3d shallow-water solver, the
// smallest L / (|u| + sqrt(g*h)) / (2N + 1) over the nodes of every element
// that is not dry.
//
//   dt = time_interval_3d(~, gravity, polynomialOrder, elementLength, cellStatus, fieldValues)
//
//   input 0:         required by the count, never read
//   gravity:         scalar g
//   polynomialOrder: scalar N
//   elementLength:   at least K doubles, length scale L of each element
//   cellStatus:      int8, at least K entries, CellStatus of each element
//   fieldValues:     Np x K x Nfield (Nfield >= 3), pages h, hu, hv
//   dt:              1 x 1; 1e6 when no element takes part
//
// Only Wet nodes move (u = hu/h, v = hv/h, no depth threshold); nodes of other
// statuses have zero velocity; Dry elements are left out. The running value
// dt starts at 1e6 and takes each candidate c in node order by the rule
// "dt < c ? dt : c": a NaN candidate replaces it, the next candidate replaces
// the NaN, and of two equal candidates (0.0 and -0.0) the later one stays.
#include <cmath>
#include <limits>

#include "dispatch.hpp"
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("time_interval_3d");

// Candidates are gathered in blocks of this many nodes before they are folded
// into the running value; a power of two, so that a block halves evenly.
constexpr std::ptrdiff_t kBlock = 1024;

// Candidate time steps of nodes 0 .. count-1, contiguous in the field pages,
// with the length L of each node's element; orderFactor = (N + N) + 1. Nodes
// of a non-Wet element have zero velocity.
template <bool Wet>
inline void candidatesOfNodes(std::ptrdiff_t count, double gravity, double orderFactor, const double* __restrict h,
                              const double* __restrict hu, const double* __restrict hv,
                              const double* __restrict length, double* __restrict candidate) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        double u = 0.0;
        double v = 0.0;
        if constexpr (Wet) {
            u = hu[i] / h[i];
            v = hv[i] / h[i];
        }
        const double speed = std::sqrt(u * u + v * v);
        const double celerity = std::sqrt(gravity * h[i]);
        candidate[i] = (length[i] / (speed + celerity)) / orderFactor;
    }
}

// A candidate as the pairwise reduction sees it: zeros and NaN become -Inf,
// so that a block holding one of them reduces to -Inf.
inline double ordinaryOrLowest(double candidate) {
    return std::fabs(candidate) > 0.0 ? candidate : -std::numeric_limits<double>::infinity();
}

// Smaller of each pair lower[i], upper[i] of candidates, into out.
inline void smallerOfPairs(std::ptrdiff_t count, const double* __restrict lower, const double* __restrict upper,
                           double* __restrict out) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const double a = ordinaryOrLowest(lower[i]);
        const double b = ordinaryOrLowest(upper[i]);
        out[i] = a < b ? a : b;
    }
}

// Smaller of each pair lower[i], upper[i], kept in lower.
inline void keepSmallerHalf(std::ptrdiff_t count, double* __restrict lower, const double* __restrict upper) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        lower[i] = lower[i] < upper[i] ? lower[i] : upper[i];
    }
}

// The running value after taking candidates 0 .. count-1 of a block in order.
// The block has room for kBlock candidates (entries from count on are
// overwritten); scratch holds kBlock / 2.
//
// Node by node the rule is dt = dt < c ? dt : c. When no candidate of the
// block is zero, NaN or -Inf, the block has one smallest value m with a single
// bit pattern, and the rule applied to the whole block gives exactly
// dt < m ? dt : m (a NaN dt gives m; a dt equal to m has the bits of m). Such
// a block is reduced pairwise, which vectorises. Any other block, where the
// position of a candidate can decide the result, is taken node by node.
KERNELS_WIDEST_CLONES double foldBlock(double dt, double* block, std::ptrdiff_t count, double* scratch) {
    if (count == 0) {
        return dt;
    }
    // Pad to a power of two (at least 2) with +Inf, then halve to the smallest value.
    std::ptrdiff_t width = 2;
    while (width < count) {
        width *= 2;
    }
    for (std::ptrdiff_t i = count; i < width; ++i) {
        block[i] = std::numeric_limits<double>::infinity();
    }
    smallerOfPairs(width / 2, block, block + width / 2, scratch);
    for (width /= 2; width > 1; width /= 2) {
        keepSmallerHalf(width / 2, scratch, scratch + width / 2);
    }
    const double smallest = scratch[0];
    if (smallest == -std::numeric_limits<double>::infinity()) {
        // A zero, NaN or -Inf among the candidates: node by node.
        for (std::ptrdiff_t i = 0; i < count; ++i) {
            dt = dt < block[i] ? dt : block[i];
        }
        return dt;
    }
    return dt < smallest ? dt : smallest;
}

// Candidates of the run of nodes held in block[first .. last-1], contiguous in
// the field pages from node `node` on, all of Wet elements or all of others.
inline void candidatesOfRun(bool wet, std::ptrdiff_t first, std::ptrdiff_t last, std::ptrdiff_t node,
                            double gravity, double orderFactor, const FieldPageView2d& fields,
                            const double* length, double* block) {
    const double* h = fields.page[0] + node;
    const double* hu = fields.page[1] + node;
    const double* hv = fields.page[2] + node;
    if (wet) {
        candidatesOfNodes<true>(last - first, gravity, orderFactor, h, hu, hv, length + first, block + first);
    } else {
        candidatesOfNodes<false>(last - first, gravity, orderFactor, h, hu, hv, length + first, block + first);
    }
}

KERNELS_WIDEST_CLONES double timeInterval3d(double gravity, double polynomialOrder, const double* elementLength,
                                          const std::int8_t* cellStatus, const FieldPageView2d& fields) {
    const std::ptrdiff_t Np = fields.Np;
    const double orderFactor = (polynomialOrder + polynomialOrder) + 1.0;
    // The block: candidates 0 .. filled-1, in node order. The entries of the
    // run from `run` on hold only their element's length so far: nodes of
    // consecutive elements that are all Wet (runWet) or all neither Wet nor
    // Dry, contiguous in the pages from node runNode on, whose candidates are
    // then formed in one loop across element ends.
    double block[kBlock];
    double length[kBlock];
    double scratch[kBlock / 2];
    std::ptrdiff_t filled = 0;
    std::ptrdiff_t run = 0;
    std::ptrdiff_t runNode = 0;
    bool runWet = false;
    double dt = 1000000.0;
    // Elements that are not Dry, node by node: candidates gathered in blocks,
    // each full block folded into the running value.
    for (std::ptrdiff_t k = 0; k < fields.K; ++k) {
        const std::int8_t status = cellStatus[k];
        if (hasStatus(status, CellStatus::Dry)) {
            continue;
        }
        const double L = elementLength[k];
        const bool wet = hasStatus(status, CellStatus::Wet);
        for (std::ptrdiff_t n = 0; n < Np;) {
            const std::ptrdiff_t i = k * Np + n;
            if (wet != runWet || runNode + (filled - run) != i) {
                // The element does not continue the run: a new run starts.
                candidatesOfRun(runWet, run, filled, runNode, gravity, orderFactor, fields, length, block);
                run = filled;
                runNode = i;
                runWet = wet;
            }
            const std::ptrdiff_t take = Np - n < kBlock - filled ? Np - n : kBlock - filled;
            // The element's length for each of its nodes in the block.
            for (std::ptrdiff_t j = filled; j < filled + take; ++j) {
                length[j] = L;
            }
            filled += take;
            n += take;
            if (filled == kBlock) {
                candidatesOfRun(runWet, run, filled, runNode, gravity, orderFactor, fields, length, block);
                dt = foldBlock(dt, block, filled, scratch);
                filled = 0;
                run = 0;
                runNode = k * Np + n;
            }
        }
    }
    candidatesOfRun(runWet, run, filled, runNode, gravity, orderFactor, fields, length, block);
    return foldBlock(dt, block, filled, scratch);
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs (input 0 is never read).
    const double gravity = readScalar(argument(kModule, prhs, 1, "gravity"));
    const double polynomialOrder = readScalar(argument(kModule, prhs, 2, "polynomialOrder"));
    requireFieldPages(argument(kModule, prhs, 5, "fieldValues"), 3, "h, hu, hv");
    const FieldPageView2d fields = bindFieldPages(prhs[5]);
    requireDoubles(argument(kModule, prhs, 3, "elementLength"), fields.K, "K");
    requireBytes(argument(kModule, prhs, 4, "cellStatus"), fields.K, "K");
    const std::int8_t* cellStatus = statusBytes(prhs[4]);

    // 3. Output: a scalar, set once the time step is known.
    plhs[0] = mxCreateDoubleScalar(0.0);

    // 4. Time step.
    *mxGetPr(plhs[0]) = timeInterval3d(gravity, polynomialOrder, mxGetPr(prhs[3]), cellStatus, fields);
}
