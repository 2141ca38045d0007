// Square basin [-1, 1] x [-1, 1] for the lake-at-rest example, meshed with
// unstructured triangles. Remake lake_2d.msh with:
//   gmsh -2 -format msh41 examples/lake_2d.geo -o examples/lake_2d.msh
size = 0.16;
Point(1) = {-1, -1, 0, size};
Point(2) = {1, -1, 0, size};
Point(3) = {1, 1, 0, size};
Point(4) = {-1, 1, 0, size};
Line(1) = {1, 2};
Line(2) = {2, 3};
Line(3) = {3, 4};
Line(4) = {4, 1};
Curve Loop(1) = {1, 2, 3, 4};
Plane Surface(1) = {1};
Physical Surface("basin") = {1};
