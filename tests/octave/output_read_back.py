"""Reads the examples' output files back with tools this project did not
write (Python's netCDF4 and VTK) for the Octave suite (test_output_files.m).

  output_read_back.py nc FILE VARIABLE RECORD EXPECTED
      VARIABLE at time record RECORD (0-based) must have the bits of the
      float64 values in EXPECTED (raw little-endian).
  output_read_back.py vtu FILE ARRAY CELLTYPE CELLS EXPECTED
      the file has CELLS cells, all of type CELLTYPE; every cell's points sit
      where VTK's parametric coordinates put them on the cell's corner
      triangle (or between a wedge's bottom and top triangles); point array
      ARRAY has the bits of EXPECTED (vtu~: equal to rounding).
Prints "ok" or the first difference, and exits with 1 on a difference."""
import sys
import numpy as np


def fail(message):
    print(message)
    sys.exit(1)


def same_bits(found, expected, what, close=False):
    found = np.ascontiguousarray(found, dtype='<f8').ravel()
    if found.shape != expected.shape:
        fail('%s: %d values, expected %d' % (what, found.size, expected.size))
    if close:
        if not np.allclose(found, expected, rtol=1e-13, atol=0):
            fail('%s: %r, expected %r' % (what, found, expected))
        return
    differ = np.flatnonzero(found.view('<u8') != expected.view('<u8'))
    if differ.size:
        i = differ[0]
        fail('%s: value %d is %r, expected %r' % (what, i, found[i], expected[i]))


def check_nc(path, variable, record, expected):
    import netCDF4
    with netCDF4.Dataset(path) as data:
        values = data.variables[variable][int(record)]
        same_bits(np.ma.getdata(values), expected, variable)


def check_vtu(path, array, cell_type, cells, expected, close):
    import vtk
    from vtk.util.numpy_support import vtk_to_numpy
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    reader.Update()
    grid = reader.GetOutput()
    if grid.GetNumberOfCells() != int(cells):
        fail('%d cells, expected %s' % (grid.GetNumberOfCells(), cells))
    types = {grid.GetCellType(i) for i in range(grid.GetNumberOfCells())}
    if types != {int(cell_type)}:
        fail('cell types %s, expected %s' % (sorted(types), cell_type))
    points = vtk_to_numpy(grid.GetPoints().GetData())
    corners = {3: [0, 1], 68: [0, 1]}.get(int(cell_type), [0, 1, 2])
    wedge = int(cell_type) in (13, 73)
    for i in range(grid.GetNumberOfCells()):
        cell = grid.GetCell(i)
        n = cell.GetNumberOfPoints()
        ids = [cell.GetPointId(j) for j in range(n)]
        x = points[ids]
        p = np.array(cell.GetParametricCoords()[:3 * n]).reshape(n, 3)
        # Line (r) or triangle (r, s), straight-sided:
        # x = x0 + r (x1 - x0) + s (x2 - x0).
        base = x[corners[0]]
        where = base + sum(p[:, [k - 1]] * (x[corners[k]] - base) for k in range(1, len(corners)))
        if wedge:
            # Each level a triangle, straight up between the bottom and top
            # corners (the top need not be parallel to the bottom).
            t = p[:, [2]]
            top = x[3] + sum(p[:, [k - 1]] * (x[3 + k] - x[3]) for k in (1, 2))
            where = (1 - t) * where + t * top
        if np.abs(where - x).max() > 1e-9 * (1 + np.abs(x).max()):
            fail('cell %d: its points are not in VTK\'s order' % i)
    same_bits(vtk_to_numpy(grid.GetPointData().GetArray(array)), expected, array, close)


def main():
    kind, path = sys.argv[1], sys.argv[2]
    expected = np.fromfile(sys.argv[-1], dtype='<f8')
    if kind == 'nc':
        check_nc(path, sys.argv[3], sys.argv[4], expected)
    else:
        check_vtu(path, sys.argv[3], sys.argv[4], sys.argv[5], expected, kind == 'vtu~')
    print('ok')


main()
