function meshes = dg2d_couple(meshes, kernels)
% DG2D_COUPLE  Join two meshes cut from one vertex mesh along the faces they
% share, with mesh_connection, and lay them out in one solver state (mesh 2's
% elements after mesh 1's). Returns the cell array {mesh1, mesh2} with E2E,
% E2F and faceMeshId updated and the face sets rebuilt (dg2d_face_sets).
  faceVertex = [1 2 3; 2 3 1];
  for m = 1:2
    a = meshes{m};
    b = meshes{3 - m};
    [a.faceMeshId, a.E2E, a.E2F] = kernels.mesh_connection(m, 3 - m, a.K, b.K, 3, 3, ...
        faceVertex, faceVertex, a.EToV, b.EToV, [], a.E2E, a.E2F);
    coupled{m} = a;
  end
  coupled{1}.offset = 0;
  coupled{2}.offset = coupled{1}.K;
  meshes = dg2d_face_sets(coupled);
end
