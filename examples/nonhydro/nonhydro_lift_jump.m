function A = nonhydro_lift_jump(jump, weightLocal, weightAdjacent)
% NONHYDRO_LIFT_JUMP  The sparse matrix SL*diag(weightLocal)*(PL - PA) +
% SA*diag(weightAdjacent)*(PL - PA) of nonhydro_operators: the jump of a
% nodal field across every inner face, weighted node by node on each side and
% lifted into the elements, built from the triplets kept in jump.
  weight = [weightLocal(:); weightAdjacent(:)];
  A = sparse(jump.rows, jump.cols, jump.values .* weight(jump.weight), jump.size, jump.size);
end
