function [fromLocal, fromAdjacent] = kernel_normal_flow_side(huL, hvL, huA, hvA, nx, ny)
% KERNEL_NORMAL_FLOW_SIDE  Where the flow through each face node comes from,
% judged by the normal discharges hu*nx + hv*ny of the local (L) and the
% adjacent (A) side (each product first, then the sum):
%   fromLocal:    qnL > 0 and qnA >= 0, the flow leaves the local element;
%   fromAdjacent: qnL <= 0 and qnA < 0, the flow enters the local element;
%   neither:      converging or diverging flow, both zero, or a NaN on a side.
% The upwind flux takes its value from that side, the downwind flux from the
% other one.
  qnL = huL .* nx + hvL .* ny;
  qnA = huA .* nx + hvA .* ny;
  fromLocal = qnL > 0 & qnA >= 0;
  fromAdjacent = qnL <= 0 & qnA < 0;
end
