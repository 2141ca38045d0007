function mesh = dg3d_geometry(mesh, eta)
% DG3D_GEOMETRY  The parts of the prism mesh that follow the free surface
% eta (Np2 x K2): total depth H = hb + eta (Np2 x K2); Jz (Np x K), dz/dzeta
% of each node, H Dsigma / 2; J (Np x K), the prism Jacobian J2 Jz;
% side.faceJacobian (edge Jacobian times Jz); z (Np x K) node elevations.
  i2 = mesh.nodeTriangle;
  mesh.eta = eta;
  mesh.H = mesh.hb + eta;
  Hn = mesh.H(i2, mesh.column);
  mesh.Jz = Hn / (2 * mesh.L);
  mesh.J = mesh.J2 .* mesh.Jz;
  mesh.z = -mesh.hb(i2, mesh.column) + mesh.sigma .* Hn;
  mesh.side.faceJacobian = mesh.side.edgeJacobian .* mesh.Jz(mesh.side.mapM);
end
