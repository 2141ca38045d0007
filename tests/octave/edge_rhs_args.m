function args = edge_rhs_args(c, withNumericalFlux)
% EDGE_RHS_ARGS  The inputs of an edge module from a case struct, in order.
  args = {c.invM, c.M, c.faceToElement, c.nodeL, c.nodeA, c.faceJ, c.J, c.fL, c.fA};
  if withNumericalFlux
    args{end + 1} = c.fN;
  end
end
