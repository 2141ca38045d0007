function c = edge_rhs_small_mesh()
% EDGE_RHS_SMALL_MESH  Three elements of three nodes; one face of two nodes
% joins element 1 (nodes 1, 2) to element 2 (nodes 3, 1); element 3 is
% untouched. Small dyadic values, so that every result is exact.
  c.invM = [2 -1 0; -1 2 -1; 0 -1 2];
  c.M = [0.5 0.25; 0.25 0.5];
  c.faceToElement = [1; 2];
  c.nodeL = [1; 2];
  c.nodeA = [3; 1];
  c.faceJ = [2; 4];
  c.J = [2 4 8; 2 4 8; 2 4 8];
  c.fL = [3; 1];
  c.fA = [-1; 5];
  c.fN = [1; 1];
end
