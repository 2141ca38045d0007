// The side of a face the normal flow comes from, judged by the normal
// discharges of the local and the adjacent side. The upwind numerical flux
// takes its value from that side, the downwind flux from the other one; both
// fall back to a two-sided value when the sides disagree.
#pragma once

namespace kernels {

// Normal discharge of one side at a face node: hu*nx + hv*ny, each product
// formed first, then the sum.
inline double normalDischarge(double hu, double hv, double nx, double ny) {
    return hu * nx + hv * ny;
}

// Where the flow through a face node comes from, tested in this order:
//   fromLocal:    qnL > 0 and qnA >= 0, the flow leaves the local element;
//   fromAdjacent: qnL <= 0 and qnA < 0, the flow enters the local element;
//   neither:      converging or diverging flow, both discharges zero, or a NaN
//                 on either side (every comparison with NaN is false).
struct NormalFlowSide {
    bool fromLocal;
    bool fromAdjacent;
};

// The two tests exclude each other (qnL > 0 and qnL <= 0 cannot both hold), so
// fromAdjacent needs no "not fromLocal"; leaving it out keeps the masks
// independent, which lets node loops vectorise.
inline NormalFlowSide normalFlowSide(double qnL, double qnA) {
    const bool fromLocal = (qnL > 0.0) & (qnA >= 0.0);
    const bool fromAdjacent = (qnL <= 0.0) & (qnA < 0.0);
    return NormalFlowSide{fromLocal, fromAdjacent};
}

// Picks the value for the side the flow comes from. The caller forms all three
// values first and this only selects, so that node loops stay branch-free; a
// value not picked never reaches the result. Written as two overwriting
// selects rather than nested ones: GCC keeps these as selects, while it turns
// the nested form back into branches when a loop picks twice per node.
inline double pickByFlowSide(NormalFlowSide side, double ifLocal, double ifAdjacent, double ifNeither) {
    double value = ifNeither;
    value = side.fromAdjacent ? ifAdjacent : value;
    value = side.fromLocal ? ifLocal : value;
    return value;
}

// One side's value where the flow comes from that side, `otherwise` elsewhere
// (converging, diverging, still or NaN flow, or flow from the other side).
// Single selects that judge the sides afresh, for loops that pick more than
// twice per node: GCC keeps a NormalFlowSide shared by that many picks in
// memory, or turns the picks into branches, and then does not vectorise the
// loop; the judgements made afresh are merged into one.
inline double ifFromLocal(double qnL, double qnA, double ifLocal, double otherwise) {
    return normalFlowSide(qnL, qnA).fromLocal ? ifLocal : otherwise;
}
inline double ifFromAdjacent(double qnL, double qnA, double ifAdjacent, double otherwise) {
    return normalFlowSide(qnL, qnA).fromAdjacent ? ifAdjacent : otherwise;
}

}  // namespace kernels
