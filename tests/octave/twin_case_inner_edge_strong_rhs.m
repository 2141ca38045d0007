function c = twin_case_inner_edge_strong_rhs()
% TWIN_CASE_INNER_EDGE_STRONG_RHS  rhs = inner_edge_strong_rhs(inverseMassMatrix,
% faceMassMatrix, faceToElement, faceToNodeLocal, faceToNodeAdjacent,
% faceJacobian, jacobian, fluxLocal, fluxAdjacent, numericalFlux).
  [args, kinds] = twin_edge_args(3);
  c = twin_case(args, 1, kinds);
end
