function c = twin_case_bottom_edge_alter_rhs()
% TWIN_CASE_BOTTOM_EDGE_ALTER_RHS  rhs = bottom_edge_alter_rhs(inverseMassMatrix,
% faceMassMatrix, faceToElement, faceToNodeLocal, faceToNodeAdjacent,
% faceJacobian, jacobian, fluxLocal, fluxAdjacent).
  [args, kinds] = twin_edge_args(2);
  c = twin_case(args, 1, kinds);
end
