function c = twin_case_bottom_edge_central_rhs()
% TWIN_CASE_BOTTOM_EDGE_CENTRAL_RHS  rhs = bottom_edge_central_rhs(inverseMassMatrix,
% faceMassMatrix, faceToElement, faceToNodeLocal, faceToNodeAdjacent,
% faceJacobian, jacobian, fluxLocal, fluxAdjacent).
  [args, kinds] = twin_edge_args(2);
  c = twin_case(args, 1, kinds);
end
